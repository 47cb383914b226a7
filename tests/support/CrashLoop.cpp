#include "CrashLoop.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <poll.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <thread>
#include <utility>

namespace kestrel::test {

namespace fs = std::filesystem;
using std::chrono::microseconds;
using Clock = std::chrono::steady_clock;

namespace {

// Most runs are killed at random; the chosen points come round every few runs.
constexpr std::array<KillPoint, 8> kCycle{
    KillPoint::Random, KillPoint::TemporaryCreated, KillPoint::Random, KillPoint::TemporaryWritten,
    KillPoint::Random, KillPoint::FileReplaced,     KillPoint::Random, KillPoint::Random};
constexpr std::chrono::seconds kTimePerTest{12};
constexpr std::chrono::seconds kLongestWait{30};

int runsFactor() {
    const char* text = std::getenv("KESTREL_CRASH_RUNS");
    const int factor = text != nullptr ? std::atoi(text) : 1;
    return std::max(factor, 1);
}

std::uint64_t chooseSeed() {
    if (const char* text = std::getenv("KESTREL_CRASH_SEED"); text != nullptr && *text != '\0')
        return std::strtoull(text, nullptr, 10);
    std::random_device device;
    return (static_cast<std::uint64_t>(device()) << 32) ^ device();
}

int childResult(const std::function<bool()>& work) {
    try {
        return work() ? 0 : 1;
    } catch (...) {
        return 2;
    }
}

// Starts `work` in a child; -1 when no child could be made.
pid_t startChild(const std::function<bool()>& work) {
    std::fflush(nullptr);  // nothing buffered twice
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(childResult(work));
    return pid;
}

// Kills the child (harmless when it has ended already: it stays a zombie until waited for)
// and records how it ended.
void finish(pid_t pid, bool kill, CrashRun& run) {
    if (kill) ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    run.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    run.succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool hasEnded(pid_t pid) {
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == pid;
}

bool isPoint(const inotify_event& event, KillPoint point, const std::string& fileName) {
    if (event.len == 0 || (event.mask & IN_ISDIR)) return false;
    const bool own = fileName == event.name;
    switch (point) {
        case KillPoint::TemporaryCreated:
            return !own && (event.mask & IN_CREATE);
        case KillPoint::TemporaryWritten:
            return !own && (event.mask & IN_MODIFY);
        case KillPoint::FileReplaced:
            return own && (event.mask & (IN_MOVED_TO | IN_CREATE));
        case KillPoint::Random:
            break;
    }
    return false;
}

// Watches a folder from before the child starts, so that no event is missed.
class FolderWatch {
  public:
    explicit FolderWatch(const fs::path& folder) : fd_(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK)) {
        if (fd_ >= 0) ::inotify_add_watch(fd_, folder.c_str(), IN_CREATE | IN_MODIFY | IN_MOVED_TO);
    }
    ~FolderWatch() {
        if (fd_ >= 0) ::close(fd_);
    }
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Returns when the child has reached `point` or ended (or after the longest wait).
    void waitFor(KillPoint point, const std::string& fileName, pid_t pid) const {
        const Clock::time_point giveUp = Clock::now() + kLongestWait;
        alignas(inotify_event) std::array<char, 8192> buffer{};
        while (Clock::now() < giveUp && !hasEnded(pid)) {
            pollfd watched{fd_, POLLIN, 0};
            if (::poll(&watched, 1, 1) <= 0) continue;
            const ssize_t length = ::read(fd_, buffer.data(), buffer.size());
            for (ssize_t at = 0; at < length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
                if (isPoint(*event, point, fileName)) return;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
    }

  private:
    int fd_;
};

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

}  // namespace

std::string CrashRun::describe() const {
    std::string how;
    if (!killed) {
        how = succeeded ? "ended on its own" : "ended on its own, reporting a failure";
    } else {
        switch (point) {
            case KillPoint::Random:
                how = "killed after " + std::to_string(delay.count()) + " us";
                break;
            case KillPoint::TemporaryCreated:
                how = "killed once a temporary file was created";
                break;
            case KillPoint::TemporaryWritten:
                how = "killed once a temporary file was written to";
                break;
            case KillPoint::FileReplaced:
                how = "killed once the file was replaced";
                break;
        }
    }
    return writer + " run " + std::to_string(number) + " (seed " + std::to_string(seed) + ", " +
           how + ")";
}

CrashLoop::CrashLoop(std::string writer, fs::path file, int runs)
    : writer_(std::move(writer)),
      file_(std::move(file)),
      runs_(runs * runsFactor()),
      seed_(chooseSeed()),
      random_(seed_),
      deadline_(Clock::now() + kTimePerTest * runsFactor()) {
    std::fprintf(stderr,
                 "[  CRASH   ] %s: up to %d runs, seed %llu (KESTREL_CRASH_SEED=%llu "
                 "draws the same moments)\n",
                 writer_.c_str(), runs_, static_cast<unsigned long long>(seed_),
                 static_cast<unsigned long long>(seed_));
}

bool CrashLoop::more() const {
    return done_ < runs_ && (Clock::now() < deadline_ || done_ < runs_ / 10);
}

CrashRun CrashLoop::start(KillPoint point) {
    CrashRun run;
    run.writer = writer_;
    run.seed = seed_;
    run.number = done_;
    run.point = point;
    return run;
}

microseconds CrashLoop::drawDelay() {
    // A little past the longest write seen, so that some children end on their own.
    std::uniform_int_distribution<std::int64_t> within(0, longestWrite_.count() * 5 / 4);
    return microseconds(within(random_));
}

CrashRun CrashLoop::calibrate(const std::function<bool()>& work) {
    CrashRun run = start(KillPoint::Random);
    const Clock::time_point begun = Clock::now();
    const pid_t pid = startChild(work);
    if (pid < 0) return run;
    finish(pid, false, run);
    longestWrite_ =
        std::max(longestWrite_, std::chrono::duration_cast<microseconds>(Clock::now() - begun));
    return run;
}

CrashRun CrashLoop::run(const std::function<bool()>& work) {
    CrashRun run = start(kCycle[static_cast<std::size_t>(done_) % kCycle.size()]);
    ++done_;
    if (run.point == KillPoint::Random) {
        run.delay = drawDelay();
        const pid_t pid = startChild(work);
        if (pid < 0) return run;
        std::this_thread::sleep_for(run.delay);
        finish(pid, true, run);
        return run;
    }
    const FolderWatch watch(file_.parent_path());
    const pid_t pid = startChild(work);
    if (pid < 0) return run;
    watch.waitFor(run.point, file_.filename().string(), pid);
    finish(pid, true, run);
    return run;
}

std::vector<CrashRun> CrashLoop::runTogether(int count, const std::function<bool(int)>& work) {
    std::vector<CrashRun> runs;
    std::vector<pid_t> children;
    std::vector<std::pair<microseconds, std::size_t>> kills;  // delay, child
    for (int index = 0; index < count; ++index) {
        CrashRun run = start(KillPoint::Random);
        const bool kill = (random_() & 1) != 0;
        if (kill) run.delay = drawDelay();
        const pid_t pid = startChild([&work, index] { return work(index); });
        if (pid < 0) break;
        if (kill) kills.emplace_back(run.delay, runs.size());
        runs.push_back(run);
        children.push_back(pid);
    }
    ++done_;
    const Clock::time_point begun = Clock::now();
    std::sort(kills.begin(), kills.end());
    for (const auto& [delay, child] : kills) {
        std::this_thread::sleep_until(begun + delay);
        ::kill(children[child], SIGKILL);
    }
    for (std::size_t child = 0; child < children.size(); ++child)
        finish(children[child], false, runs[child]);
    return runs;
}

std::vector<std::string> namesBesides(const fs::path& folder,
                                      const std::vector<std::string>& known) {
    std::vector<std::string> names;
    for (std::string& name : namesIn(folder))
        if (std::find(known.begin(), known.end(), name) == known.end())
            names.push_back(std::move(name));
    return names;
}

void expectOldOrNew(CrashLoop& loop, const AlternatingWrites& writes) {
    std::array<std::string, 2> versions;
    for (int version : {1, 0}) {  // version 0 stays
        const CrashRun learned = loop.calibrate([&] { return writes.write(version); });
        ASSERT_TRUE(learned.succeeded) << learned.describe();
        const std::optional<std::string> seen = writes.observe();
        ASSERT_TRUE(seen.has_value()) << "nothing to read after " << learned.describe();
        versions[static_cast<std::size_t>(version)] = *seen;
    }
    ASSERT_NE(versions[0], versions[1]) << "the two versions must differ";
    const fs::path folder = loop.file().parent_path();
    const std::vector<std::string> known = namesIn(folder);

    std::size_t current = 0;
    int killed = 0;
    while (loop.more()) {
        const std::size_t next = 1 - current;
        const CrashRun run = loop.run([&] { return writes.write(static_cast<int>(next)); });
        killed += run.killed ? 1 : 0;
        const std::optional<std::string> seen = writes.observe();
        ASSERT_TRUE(seen.has_value())
            << "the file is missing or unreadable after " << run.describe();
        ASSERT_TRUE(*seen == versions[current] || *seen == versions[next])
            << "neither the old nor the new content after " << run.describe() << ":\n"
            << *seen;
        if (!run.killed) {
            ASSERT_TRUE(run.succeeded && *seen == versions[next]) << run.describe();
        }
        current = *seen == versions[1] ? 1 : 0;
        const std::vector<std::string> left = namesBesides(folder, known);
        if (writes.leftovers) {
            ASSERT_LE(left.size(), *writes.leftovers)
                << "left beside the file after " << run.describe() << ": " << joined(left);
        }
    }
    std::fprintf(stderr, "[  CRASH   ] %d runs, %d killed\n", loop.runsMade(), killed);
    EXPECT_GT(killed, 0) << "no write was killed: the delays are too long";

    const CrashRun last =
        loop.calibrate([&] { return writes.write(static_cast<int>(1 - current)); });
    ASSERT_TRUE(last.succeeded) << "a write after the killed ones failed: " << last.describe();
    EXPECT_EQ(writes.observe(), versions[1 - current]) << last.describe();
    if (writes.leftovers) {
        EXPECT_EQ(joined(namesBesides(folder, known)), "")
            << "a write to its end leaves no leftovers behind";
    }
}

}  // namespace kestrel::test
