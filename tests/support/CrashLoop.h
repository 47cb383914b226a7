// Crash safety of the file writers: a writer runs in a forked child that is killed with
// SIGKILL, at a random moment or at a chosen point of its work, and the test then looks at
// what is on disk. The moments come from a seeded generator; the seed is printed at the start
// and in every failure, and KESTREL_CRASH_SEED=<seed> draws the same moments again.
// KESTREL_CRASH_RUNS=<factor> multiplies the number of runs (and the time allowed for them)
// for longer searches.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace kestrel::test {

// Where in its work a child is killed. The chosen points are seen through inotify on the
// written file's folder, so the kill lands at the point or a moment after it.
enum class KillPoint {
    Random,            // after a random delay up to about one whole write
    TemporaryCreated,  // a name other than the file's appeared in the folder
    TemporaryWritten,  // data went into a file other than the written one
    FileReplaced,      // the file's name was renamed onto or created
};

struct CrashRun {
    std::string writer;
    std::uint64_t seed = 0;
    int number = 0;
    KillPoint point = KillPoint::Random;
    std::chrono::microseconds delay{0};  // of a random kill
    bool killed = false;                 // false: the child ended on its own
    bool succeeded = false;              // ended on its own and its work returned true

    // "hive run 17 (seed 42, killed after 340 us)", for failure messages.
    std::string describe() const;
};

class CrashLoop {
  public:
    // `file` is what the writer writes; its folder is watched for the chosen points.
    CrashLoop(std::string writer, std::filesystem::path file, int runs = 200);

    const std::filesystem::path& file() const { return file_; }
    int runsMade() const { return done_; }
    // True while runs remain and the time allowed for them lasts (at least a tenth of the
    // runs are made, however slow the machine).
    bool more() const;
    // Runs `work` to its end in a child and widens the range of the random delays to the time
    // that took.
    CrashRun calibrate(const std::function<bool()>& work);
    // Runs `work` in a child killed at the next point of the loop's cycle.
    CrashRun run(const std::function<bool()>& work);
    // Runs `work(index)` in `count` children at once; about half of them are killed at random
    // moments, the others end on their own.
    std::vector<CrashRun> runTogether(int count, const std::function<bool(int index)>& work);

  private:
    CrashRun start(KillPoint point);
    std::chrono::microseconds drawDelay();

    std::string writer_;
    std::filesystem::path file_;
    int runs_;
    int done_ = 0;
    std::uint64_t seed_;
    std::mt19937_64 random_;
    std::chrono::microseconds longestWrite_{200};
    std::chrono::steady_clock::time_point deadline_;
};

// A writer that replaces a whole file, in two versions.
struct AlternatingWrites {
    // Runs in the child: writes version 0 or 1; false when the writer reported a failure.
    std::function<bool(int version)> write;
    // What the file shows now (its bytes, or what a reader makes of it); nullopt when it is
    // missing or unreadable.
    std::function<std::optional<std::string>()> observe;
    // How many names a killed write may leave beside the file (its temporary files), which
    // the next write removes; nullopt when leftovers are the writer's documented behaviour and
    // only the next write's success is checked.
    std::optional<std::size_t> leftovers = 1;
};

// Writes both versions to their end (learning what observe() shows for each), then kills
// writes of the other version over and over: after each, observe() must show the version
// before or the one written (the one written when the child ended on its own), and the folder
// may hold no more leftover names than allowed. A last write to its end must remove them all.
void expectOldOrNew(CrashLoop& loop, const AlternatingWrites& writes);

// The names in `folder` that are not in `known`.
std::vector<std::string> namesBesides(const std::filesystem::path& folder,
                                      const std::vector<std::string>& known);

}  // namespace kestrel::test
