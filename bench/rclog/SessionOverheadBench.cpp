// The time quillbox adds to a session with Notify and Debug off, each way: from its own start
// to the viewer's start, and from the viewer's end to its own exit. Each iteration starts the
// viewer once directly and once through quillbox installed as WVIEWNT.EXE; the difference is
// what the logger costs (client start, start line, session line, its own start and exit).
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "ClientLogin.h"
#include "ClientWorld.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

long long now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

// A program directory with the logger and the viewer, in an isolated user logged in to the
// sample directory.
class Installation {
  public:
    Installation() {
        world_.useSample();
        world_.environment().set("RCLOG_BENCH_TIMES", (world_.root() / "times").string());
        for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY"})
            world_.environment().set(display, std::nullopt);
        fs::create_directories(zen_);
        fs::create_symlink(QUILLBOX_PROGRAM, logger());
        fs::copy_file(BENCH_VIEWER, viewer());
        std::ofstream(zen_ / "Quillbox.Cfg") << "Notify=Off\nDebug=Off\n";
        if (kestrel::test::loginThroughClient("ACME_TREE", ".CN=Admin.O=Acme", "acme") != 0)
            throw std::runtime_error("login to the sample directory failed");
    }

    // Runs the program and returns {viewer start - our start, our end - viewer end}.
    std::pair<long long, long long> run(const fs::path& program) {
        std::string argv0 = program.string(), target = "-wWS17.Sales.Acme",
                    action = "-cRemote Control", tree = "-nACME_TREE";
        char* argv[] = {argv0.data(), target.data(), action.data(), tree.data(), nullptr};
        const long long start = now();
        pid_t pid = -1;
        if (posix_spawn(&pid, argv0.c_str(), nullptr, nullptr, argv, environ) != 0)
            throw std::runtime_error("spawn");
        int status = 0;
        waitpid(pid, &status, 0);
        const long long end = now();
        long long viewerStart = 0, viewerEnd = 0;
        std::ifstream(world_.root() / "times") >> viewerStart >> viewerEnd;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || viewerStart == 0)
            throw std::runtime_error("session failed");
        return {viewerStart - start, end - viewerEnd};
    }

    fs::path viewer() const { return zen_ / "WVIEWNT0.EXE"; }
    fs::path logger() const { return zen_ / "WVIEWNT.EXE"; }

  private:
    kestrel::test::ClientWorld world_;
    fs::path zen_ = world_.root() / "zen";
};

void SessionOverhead(benchmark::State& state) {
    Installation installation;
    double addedStart = 0, addedEnd = 0;
    for (auto _ : state) {
        const auto direct = installation.run(installation.viewer());
        const auto logged = installation.run(installation.logger());
        const double start = static_cast<double>(logged.first - direct.first) / 1e6;
        const double end = static_cast<double>(logged.second - direct.second) / 1e6;
        addedStart += start;
        addedEnd += end;
        state.SetIterationTime((start + end) / 1e3);
    }
    state.counters["start_ms"] = benchmark::Counter(addedStart, benchmark::Counter::kAvgIterations);
    state.counters["end_ms"] = benchmark::Counter(addedEnd, benchmark::Counter::kAvgIterations);
}
BENCHMARK(SessionOverhead)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

}  // namespace

BENCHMARK_MAIN();
