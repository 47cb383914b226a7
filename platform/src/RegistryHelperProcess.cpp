#include "RegistryHelperProcess.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <thread>

#include "platform/WineTools.h"

namespace kestrel::platform {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// What the helper writes first; anything Wine prints before it is passed over.
constexpr std::string_view kGreeting = "KESTREL-REGISTRY 1\n";
// A helper whose input has closed ends at once; this is for one stuck inside Wine.
constexpr auto kEndingTime = 10s;
// Answers are read up to this much at a time: those of requests sent ahead come many at once.
constexpr std::size_t kReadSize = 64 * 1024;

// Writes all of `data`; a reader that has gone gives EPIPE, never the signal that would end
// this program.
bool writeAll(int fd, std::string_view data) {
    sigset_t pipeSignal, previous;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    bool written = true;
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            written = false;
            if (errno == EPIPE && !sigismember(&previous, SIGPIPE)) {
                const timespec now{};
                while (sigtimedwait(&pipeSignal, nullptr, &now) < 0 && errno == EINTR) {
                }
            }
            break;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return written;
}

std::string lengthPrefix(std::size_t size) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((size >> (8 * i)) & 0xff);
    return bytes;
}

}  // namespace

RegistryHelperProcess::RegistryHelperProcess(pid_t pid, int input, int output, int errors)
    : pid_(pid), input_(input), output_(output), errors_(errors) {}

Expected<std::unique_ptr<RegistryHelperProcess>, std::string> RegistryHelperProcess::start(
    const std::filesystem::path& prefix, const std::filesystem::path& program,
    std::chrono::milliseconds timeout) {
    const auto started = startWineConversation({"wine", program.string()}, prefix);
    if (!started) return unexpected("Wine could not be started for " + program.string());
    std::unique_ptr<RegistryHelperProcess> helper(
        new RegistryHelperProcess(started->pid, started->input, started->output, started->errors));
    const auto deadline = Clock::now() + timeout;
    std::string seen;
    while (!seen.ends_with(kGreeting)) {
        char c;
        if (!helper->readExactly(&c, 1, deadline)) {
            helper->stop();
            const std::string said = lastErrorWords(helper->errors_);
            return unexpected("Wine did not start " + program.string() + " (" + helper->failure_ +
                              ")" + (said.empty() ? "" : ": " + said));
        }
        seen.push_back(c);
        if (seen.size() > 4096) seen.erase(0, seen.size() - kGreeting.size());
    }
    return helper;
}

RegistryHelperProcess::~RegistryHelperProcess() {
    stop();
    if (errors_ >= 0) ::close(errors_);
}

void RegistryHelperProcess::stop() {
    if (pid_ < 0) return;
    ::close(input_);
    ::close(output_);
    const auto deadline = Clock::now() + kEndingTime;
    int status;
    while (::waitpid(pid_, &status, WNOHANG) == 0) {
        if (Clock::now() >= deadline) {
            ::kill(-pid_, SIGKILL);
            while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
            }
            break;
        }
        std::this_thread::sleep_for(5ms);
    }
    pid_ = -1;
    if (failure_.empty()) failure_ = "it was stopped";
}

bool RegistryHelperProcess::readExactly(char* data, std::size_t size, Clock::time_point deadline) {
    while (size > 0) {
        if (taken_ < received_.size()) {
            const std::size_t n = std::min(size, received_.size() - taken_);
            std::memcpy(data, received_.data() + taken_, n);
            taken_ += n;
            data += n;
            size -= n;
            continue;
        }
        received_.clear();
        taken_ = 0;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            failure_ = "it did not answer in time";
            return false;
        }
        pollfd ready{output_, POLLIN, 0};
        const int polled = ::poll(&ready, 1, static_cast<int>(left.count()));
        if (polled < 0 && errno == EINTR) continue;
        if (polled < 0) {
            failure_ = std::string("its output cannot be read: ") + std::strerror(errno);
            return false;
        }
        if (polled == 0) continue;
        received_.resize(kReadSize);
        const ssize_t n = ::read(output_, received_.data(), received_.size());
        received_.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failure_ = "it has ended";
            return false;
        }
    }
    return true;
}

Expected<void, std::string> RegistryHelperProcess::send(std::string_view request) {
    if (pid_ < 0) return unexpected(failure_);
    // At once, never kept back: Windows programs the run did not start see each change as
    // soon as the server has made it.
    std::string frame = lengthPrefix(request.size());
    frame.append(request);
    if (writeAll(input_, frame)) return {};
    failure_ = "it has ended";
    stop();
    return unexpected(failure_);
}

Expected<std::string, std::string> RegistryHelperProcess::receive(
    std::chrono::milliseconds timeout) {
    if (pid_ < 0) return unexpected(failure_);
    const auto deadline = Clock::now() + timeout;
    char header[4];
    if (readExactly(header, 4, deadline)) {
        std::uint32_t size = 0;
        for (int i = 3; i >= 0; --i) size = (size << 8) | static_cast<unsigned char>(header[i]);
        std::string answer(size, '\0');
        if (readExactly(answer.data(), size, deadline)) return answer;
    }
    stop();
    return unexpected(failure_);
}

}  // namespace kestrel::platform
