#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Expected.h"

namespace kestrel::platform {

// kestrel-registry.exe (platform/windows/RegistryHelper.c) running under Wine in a prefix,
// the way our registry calls reach the prefix's wineserver: frames written to its standard
// input, answers read from its standard output. Starting it starts the prefix's server when
// none runs, or joins the one that does; the server stays as long as the helper does.
class RegistryHelperProcess {
  public:
    // Starts `program` under Wine on `prefix` and waits, at most `timeout`, for its greeting
    // (Wine may first bring the prefix up to date). Says why when it does not come.
    static Expected<std::unique_ptr<RegistryHelperProcess>, std::string> start(
        const std::filesystem::path& prefix, const std::filesystem::path& program,
        std::chrono::milliseconds timeout);
    // Closes its input, upon which it ends; one that does not is killed after a while.
    ~RegistryHelperProcess();
    RegistryHelperProcess(const RegistryHelperProcess&) = delete;
    RegistryHelperProcess& operator=(const RegistryHelperProcess&) = delete;

    // Sends one request (without its length); receive() returns the next answer (without its
    // length). Answers come in the order of the requests, written when no request is waiting:
    // requests may be sent ahead, as long as their answers are read before they fill the pipe
    // (64 KiB, at least 4 KiB), or both sides wait for ever. Both fail, saying why,
    // when the helper has gone or does not answer within `timeout`; the helper is then
    // stopped, and every later call fails the same way.
    Expected<void, std::string> send(std::string_view request);
    Expected<std::string, std::string> receive(std::chrono::milliseconds timeout);

  private:
    RegistryHelperProcess(pid_t pid, int input, int output, int errors);
    bool readExactly(char* data, std::size_t size, std::chrono::steady_clock::time_point deadline);
    void stop();

    pid_t pid_;
    int input_;
    int output_;
    int errors_;            // its standard error (see WineConversation)
    std::string failure_;   // why the helper can no longer be used
    std::string received_;  // what was read of its output, from `taken_` on not used yet
    std::size_t taken_ = 0;
};

}  // namespace kestrel::platform
