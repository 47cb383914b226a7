#include "TestSupport.h"

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kestrel::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "kestrel-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

ScopedEnv::ScopedEnv(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) previous_ = old;
    assign(name_, value);
}

ScopedEnv::~ScopedEnv() {
    assign(name_, previous_);
}

void ScopedEnv::assign(const std::string& name, const std::optional<std::string>& value) {
    if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
    } else {
        ::unsetenv(name.c_str());
    }
    ::tzset();  // local time follows TZ only after this
}

ScopedEnvironment::~ScopedEnvironment() {
    while (!entries_.empty()) entries_.pop_back();
}

void ScopedEnvironment::set(std::string name, std::optional<std::string> value) {
    entries_.push_back(std::make_unique<ScopedEnv>(std::move(name), std::move(value)));
}

ScopedCurrentDir::ScopedCurrentDir(const fs::path& dir) : previous_(fs::current_path()) {
    fs::current_path(dir);
}

ScopedCurrentDir::~ScopedCurrentDir() {
    std::error_code ec;
    fs::current_path(previous_, ec);
}

bool runInProcesses(int count, const std::function<bool(int index)>& work) {
    std::vector<pid_t> children;
    for (int i = 0; i < count; ++i) {
        const pid_t pid = ::fork();
        if (pid == 0) ::_exit(work(i) ? 0 : 1);
        if (pid > 0) children.push_back(pid);
    }
    bool ok = static_cast<int>(children.size()) == count;
    for (const pid_t pid : children) {
        int status = 0;
        ok = ::waitpid(pid, &status, 0) == pid && status == 0 && ok;
    }
    return ok;
}

void writeFile(const fs::path& file, std::string_view content) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << content;
}

std::string readFile(const fs::path& file) {
    std::ostringstream content;
    content << std::ifstream(file, std::ios::binary).rdbuf();
    return content.str();
}

std::string lnkinfoOutput(const fs::path& file) {
    const std::string command = "lnkinfo '" + file.string() + "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return {};
    std::string out;
    char chunk[4096];
    while (const std::size_t n = std::fread(chunk, 1, sizeof chunk, pipe)) out.append(chunk, n);
    return ::pclose(pipe) == 0 ? out : std::string();
}

void writeExecutable(const fs::path& file, std::string_view content) {
    writeFile(file, content);
    fs::permissions(file, fs::perms(0755));
}

}  // namespace kestrel::test
