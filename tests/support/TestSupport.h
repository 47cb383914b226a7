#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::test {

// A fresh directory, removed with its content at the end of the test.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// Sets (nullopt: unsets) an environment variable until the end of the scope.
class ScopedEnv {
  public:
    ScopedEnv(std::string name, std::optional<std::string> value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    static void assign(const std::string& name, const std::optional<std::string>& value);
    std::string name_;
    std::optional<std::string> previous_;
};

// Several variables set (nullopt: unset) until the end of the scope, restored in reverse.
class ScopedEnvironment {
  public:
    ScopedEnvironment() = default;
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    void set(std::string name, std::optional<std::string> value);

  private:
    std::vector<std::unique_ptr<ScopedEnv>> entries_;
};

// Changes the current directory until the end of the scope.
class ScopedCurrentDir {
  public:
    explicit ScopedCurrentDir(const std::filesystem::path& dir);
    ~ScopedCurrentDir();
    ScopedCurrentDir(const ScopedCurrentDir&) = delete;
    ScopedCurrentDir& operator=(const ScopedCurrentDir&) = delete;

  private:
    std::filesystem::path previous_;
};

// Runs `work` in `count` forked processes at once; true when every one returned true.
bool runInProcesses(int count, const std::function<bool(int index)>& work);

void writeFile(const std::filesystem::path& file, std::string_view content);
std::string readFile(const std::filesystem::path& file);  // "" when unreadable
void writeExecutable(const std::filesystem::path& file, std::string_view content);  // mode 0755

// What lnkinfo (liblnk-utils) prints for a shell link; "" when it is not installed or
// rejects the file.
std::string lnkinfoOutput(const std::filesystem::path& file);

}  // namespace kestrel::test
