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

#include "nwcalls.h"
#include "nwnet.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

long long now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

// A program directory with the logger and the viewer, a login to the sample directory.
class Installation {
  public:
    Installation() {
        char pattern[] = "/tmp/rclog-bench-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp");
        root_ = pattern;
        fs::create_directories(root_ / "zen");
        fs::create_directories(root_ / "state");
        ::setenv("XDG_STATE_HOME", (root_ / "state").c_str(), 1);
        ::setenv("NWCLIENT_CONFIG", KESTREL_SOURCE_DIR "/examples/directory/nwclient.ini", 1);
        ::setenv("RCLOG_BENCH_TIMES", (root_ / "times").c_str(), 1);
        for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY"}) ::unsetenv(display);
        fs::create_symlink(QUILLBOX_PROGRAM, root_ / "zen" / "WVIEWNT.EXE");
        fs::copy_file(BENCH_VIEWER, root_ / "zen" / "WVIEWNT0.EXE");
        std::ofstream(root_ / "zen" / "Quillbox.Cfg") << "Notify=Off\nDebug=Off\n";

        NWCallsInit(nullptr, nullptr);
        const NWDSContextHandle context = NWDSCreateContext();
        if (NWDSLogin(context, 0, ".CN=Admin.O=Acme", "acme", 0) != 0)
            throw std::runtime_error("login to the sample directory failed");
        NWDSFreeContext(context);
    }
    ~Installation() {
        std::error_code ec;
        fs::remove_all(root_, ec);
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
        std::ifstream(root_ / "times") >> viewerStart >> viewerEnd;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || viewerStart == 0)
            throw std::runtime_error("session failed");
        return {viewerStart - start, end - viewerEnd};
    }

    fs::path viewer() const { return root_ / "zen" / "WVIEWNT0.EXE"; }
    fs::path logger() const { return root_ / "zen" / "WVIEWNT.EXE"; }

  private:
    fs::path root_;
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
