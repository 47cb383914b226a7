#include "RclogFixture.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <thread>

#include "ClientLogin.h"
#include "Quillbox.h"

extern char** environ;

namespace kestrel::rclog::test {

namespace {

namespace fs = std::filesystem;

namespace value = kestrel::test::value;

// Every user's password is "secret". WS1 has only an operating system, WS2 an empty computer
// name, NET1 network addresses where names are expected.
kestrel::test::DirectoryBuilder testDirectory() {
    kestrel::test::DirectoryBuilder directory;
    directory.tree("ACME_TREE")
        .object("O=Acme", "Organization")
        .user("CN=Admin.O=Acme")
        .object("OU=Sales.O=Acme", "Organizational Unit")
        .object("CN=WS17.OU=Sales.O=Acme", "Workstation",
                {{"WM:NAME OS", {"WINNT"}},
                 {"WM:NAME Computer", {"WS17"}},
                 {"WM:NAME DNS", {"ws17.sales.acme.example"}}})
        .object("CN=WS1.OU=Sales.O=Acme", "Workstation", {{"WM:Name OS", {"WIN98"}}})
        .object("CN=WS2.OU=Sales.O=Acme", "Workstation",
                {{"WM:Name OS", {"WIN95", "WINNT"}}, {"WM:Name Computer", {""}}})
        .object("CN=NET1.OU=Sales.O=Acme", "Workstation",
                {{"WM:Name OS", {value::netAddress(1, "7f000011")}},
                 {"WM:Name Computer", {value::netAddress(0, "0101000000a0c91234564006")}},
                 {"WM:Name DNS", {value::netAddress(9, "0102")}}})
        .object("CN=BARE.OU=Sales.O=Acme", "Workstation");
    return directory;
}

}  // namespace

void RclogTest::SetUp() {
    environment_.set("RCLOG_VIEWER_RECORD", (root_ / "viewer-record").string());
    for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment_.set(display, std::nullopt);
    world_.useDirectory(
        testDirectory(),
        {.defaultTree = "ACME_TREE", .nameContext = "O=Acme", .sessionFile = "session"});
    fs::create_directory(zen_);
    fs::create_symlink(QUILLBOX_PROGRAM, zen_ / "WVIEWNT.EXE");
    fs::copy_file(VIEWER_STUB, zen_ / "WVIEWNT0.EXE");
}

void RclogTest::login() {
    EXPECT_EQ(kestrel::test::loginThroughClient("ACME_TREE", ".CN=Admin.O=Acme",
                                                kestrel::test::kTestPassword),
              0);
}

void RclogTest::writeConfig(const std::string& text) {
    kestrel::test::writeFile(zen_ / "Quillbox.Cfg", text);
}

int RclogTest::runCore(ScriptedUi& ui, std::vector<std::string> arguments, ClientCalls calls) {
    return runCore(ui, std::move(arguments), programPath_, calls);
}

int RclogTest::runCore(ScriptedUi& ui, std::vector<std::string> arguments,
                       const std::string& programPath, ClientCalls calls) {
    return Quillbox(ui, calls).run({std::move(arguments), programPath});
}

ProgramRun RclogTest::runProgram(const std::vector<std::string>& argv, std::string executable,
                                 std::chrono::seconds limit) {
    using namespace std::chrono;
    if (executable.empty()) executable = programPath_;
    const fs::path errors = root_ / ("stderr." + std::to_string(::getpid()));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    // A group of its own, so that a run that does not end is stopped with all it started.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    std::vector<std::string> storage = argv;
    std::vector<char*> pointers;
    for (std::string& arg : storage) pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    pid_t pid = -1;
    const int rc =
        posix_spawn(&pid, executable.c_str(), &actions, &attributes, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (rc != 0) return {-1, "spawn failed"};
    int status = 0;
    const auto deadline = steady_clock::now() + limit;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (steady_clock::now() > deadline) {
            ::killpg(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return {kTimedOut, kestrel::test::readFile(errors)};
        }
        std::this_thread::sleep_for(milliseconds(10));
    }
    const std::string text = kestrel::test::readFile(errors);
    fs::remove(errors);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), text};
}

std::vector<std::vector<std::string>> RclogTest::viewerRuns() const {
    std::vector<std::vector<std::string>> runs;
    const std::string record = kestrel::test::readFile(root_ / "viewer-record");
    std::size_t begin = 0;
    while (begin < record.size()) {
        const std::size_t end = record.find('\n', begin);
        if (end == std::string::npos) break;
        std::vector<std::string> argv;
        std::size_t field = begin;
        while (field < end) {
            const std::size_t nul = record.find('\0', field);
            argv.push_back(record.substr(field, nul - field));
            field = nul + 1;
        }
        runs.push_back(argv);
        begin = end + 1;
    }
    return runs;
}

std::vector<std::string> logLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find("\r\n", begin);
        if (end == std::string::npos) {
            lines.push_back(text.substr(begin));
            break;
        }
        lines.push_back(text.substr(begin, end - begin));
        begin = end + 2;
    }
    return lines;
}

std::optional<std::string> afterStamps(const std::string& line, int count) {
    // '9' a digit, 'A' an upper-case and 'a' a lower-case letter, anything else itself.
    const std::string shape = "99:99:99, 99 Aaa 9999, ";
    std::size_t at = 0;
    for (int stamp = 0; stamp < count; ++stamp) {
        for (char expected : shape) {
            if (at >= line.size()) return std::nullopt;
            const char c = line[at++];
            const bool fits = expected == '9'   ? std::isdigit(static_cast<unsigned char>(c))
                              : expected == 'A' ? std::isupper(static_cast<unsigned char>(c))
                              : expected == 'a' ? std::islower(static_cast<unsigned char>(c))
                                                : c == expected;
            if (!fits) return std::nullopt;
        }
    }
    return line.substr(at);
}

}  // namespace kestrel::rclog::test
