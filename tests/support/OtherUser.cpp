#include "OtherUser.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace kestrel::test {

namespace fs = std::filesystem;

namespace {

const fs::path kUseradd = "/usr/sbin/useradd";
const fs::path kUserdel = "/usr/sbin/userdel";
// Other tests may be adding users at the same moment: the account files are locked then.
constexpr int kTries = 20;

int runProgram(const std::vector<std::string>& words) {
    pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        std::vector<char*> argv;
        for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, STDOUT_FILENO);
        ::dup2(quiet, STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

std::unique_ptr<OtherUser> OtherUser::create(std::string* whyNot) {
    const auto none = [&](std::string why) {
        *whyNot = std::move(why);
        return nullptr;
    };
    if (::geteuid() != 0)
        return none("not running as root: no second local user can be made for the check");
    if (::access(kUseradd.c_str(), X_OK) != 0 || ::access(kUserdel.c_str(), X_OK) != 0)
        return none(kUseradd.string() + " or " + kUserdel.string() +
                    " is missing: no second local user for the check");
    static int made = 0;
    const std::string name =
        "kestrel-other-" + std::to_string(::getpid()) + "-" + std::to_string(++made);
    int rc = -1;
    for (int attempt = 0; attempt < kTries && rc != 0; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(200));
        rc = runProgram({kUseradd.string(), "--system", "--user-group", "--no-create-home",
                         "--home-dir", "/nonexistent", "--shell", "/usr/sbin/nologin", name});
    }
    if (rc != 0) return none("useradd " + name + " failed (exit " + std::to_string(rc) + ")");
    std::unique_ptr<OtherUser> user(new OtherUser());
    user->name_ = name;
    const passwd* entry = ::getpwnam(name.c_str());
    if (entry == nullptr) return none("useradd made no " + name);
    user->uid_ = entry->pw_uid;
    user->gid_ = entry->pw_gid;
    return user;
}

OtherUser::~OtherUser() {
    for (int attempt = 0; attempt < kTries; ++attempt) {
        if (runProgram({kUserdel.string(), name_}) == 0) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
}

bool OtherUser::runAs(const std::function<bool()>& probe) const {
    constexpr int kYes = 0, kNo = 1, kNotBecome = 2;
    pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(gid_) != 0 || ::setuid(uid_) != 0)
            ::_exit(kNotBecome);
        ::_exit(probe() ? kYes : kNo);
    }
    int status = 0;
    while (child > 0 && ::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // A probe that never ran as the other user proves nothing either way.
    if (child < 0 || !WIFEXITED(status) || WEXITSTATUS(status) == kNotBecome)
        throw std::runtime_error("cannot run a probe as " + name_);
    return WEXITSTATUS(status) == kYes;
}

bool OtherUser::canRead(const fs::path& path) const {
    return runAs([&] {
        int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            ::close(fd);
            return true;
        }
        return ::chdir(path.c_str()) == 0;
    });
}

void letOthersThrough(const fs::path& root) {
    fs::permissions(root, fs::perms::others_exec | fs::perms::group_exec, fs::perm_options::add);
}

}  // namespace kestrel::test
