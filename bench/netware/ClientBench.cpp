// The directory client under load: listing one container of N workstations and searching
// a subtree of N objects, both through 4096-byte reply buffers, and loading the file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "nwcalls.h"
#include "nwnet.h"

namespace {

constexpr const char* kSecretHash =
    "$6$kestreltest$/tanLLuEl3AKg8pXYM3VA6cawJhT73mqJgsKOSLK4GTDxUKtfyYyQ8kc7ZnUDg1m3owviRqrdMkX1xTNaho.E.";

// One directory per size, written once: O=Bench with OU=Pool holding N workstations that
// carry a few registration attributes, and an admin to log in with.
const std::filesystem::path& directoryFor(int workstations) {
    static std::map<int, std::filesystem::path> made;
    auto& path = made[workstations];
    if (!path.empty()) return path;
    char pattern[] = "/tmp/kestrel-bench-XXXXXX";
    path = mkdtemp(pattern);
    std::ofstream out(path / "directory.json");
    out << "{\"trees\": [{\"name\": \"BENCH_TREE\", \"objects\": [\n"
        << "{\"name\": \"O=Bench\", \"class\": \"Organization\"},\n"
        << "{\"name\": \"CN=Admin.O=Bench\", \"class\": \"User\", \"password\": \"" << kSecretHash << "\"},\n"
        << "{\"name\": \"OU=Pool.O=Bench\", \"class\": \"Organizational Unit\"}";
    for (int i = 0; i < workstations; ++i)
        out << ",\n{\"name\": \"CN=WS" << i << ".OU=Pool.O=Bench\", \"class\": \"Workstation\", "
            << "\"attributes\": {\"WM:NAME Computer\": [\"WS" << i << "\"], "
            << "\"WM:Network Address\": [\"127.0." << (i / 250) % 256 << "." << i % 250 + 1 << "\"]}}";
    out << "]}]}\n";
    std::ofstream(path / "nwclient.ini") << "[Client]\nDirectory=directory.json\nDefaultTree=BENCH_TREE\n";
    return path;
}

NWDSContextHandle useDirectory(int workstations) {
    const auto& path = directoryFor(workstations);
    setenv("NWCLIENT_CONFIG", (path / "nwclient.ini").c_str(), 1);
    setenv("XDG_STATE_HOME", (path / "state").c_str(), 1);
    NWCallsInit(nullptr, nullptr);
    NWDSContextHandle context = 0;
    NWDSCreateContextHandle(&context);
    NWDSSetContext(context, DCK_TREE_NAME, "BENCH_TREE");
    NWDSLogin(context, 0, ".CN=Admin.O=Bench", "secret", 0);
    return context;
}

void listContainer(benchmark::State& state) {
    NWDSContextHandle context = useDirectory(static_cast<int>(state.range(0)));
    NWDSSetContext(context, DCK_NAME_CONTEXT, "OU=Pool.O=Bench");
    pBuf_T buffer = nullptr;
    NWDSAllocBuf(4096, &buffer);
    std::size_t entries = 0, replies = 0;
    for (auto _ : state) {
        entries = replies = 0;
        nint32 iteration = NO_MORE_ITERATIONS;
        do {
            if (NWDSList(context, "", &iteration, buffer) != 0) state.SkipWithError("list failed");
            ++replies;
            nuint32 count = 0;
            NWDSGetObjectCount(context, buffer, &count);
            for (nuint32 i = 0; i < count; ++i) {
                char name[MAX_DN_BYTES];
                Object_Info_T info;
                NWDSGetObjectName(context, buffer, name, nullptr, &info);
                benchmark::DoNotOptimize(name);
            }
            entries += count;
        } while (iteration != NO_MORE_ITERATIONS);
    }
    state.counters["entries"] = static_cast<double>(entries);
    state.counters["replies"] = static_cast<double>(replies);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * entries));
    NWDSFreeBuf(buffer);
    NWDSFreeContext(context);
}

void searchSubtree(benchmark::State& state) {
    NWDSContextHandle context = useDirectory(static_cast<int>(state.range(0)));
    pBuf_T filter = nullptr, reply = nullptr;
    NWDSAllocBuf(4096, &filter);
    NWDSAllocBuf(4096, &reply);
    NWDSInitBuf(context, DSV_SEARCH_FILTER, filter);
    pFilter_Cursor_T cursor = nullptr;
    NWDSAllocFilter(&cursor);
    NWDSAddFilterToken(cursor, FTOK_ANAME, const_cast<char*>("Object Class"), SYN_CLASS_NAME);
    NWDSAddFilterToken(cursor, FTOK_EQ, nullptr, 0);
    NWDSAddFilterToken(cursor, FTOK_AVAL, const_cast<char*>("Workstation"), SYN_CLASS_NAME);
    NWDSAddFilterToken(cursor, FTOK_END, nullptr, 0);
    NWDSPutFilter(context, filter, cursor, nullptr);
    std::size_t found = 0;
    for (auto _ : state) {
        found = 0;
        nint32 iteration = NO_MORE_ITERATIONS;
        do {
            nint32 searched = 0;
            if (NWDSSearch(context, ".[Root]", DS_SEARCH_SUBTREE, false, filter, DS_ATTRIBUTE_VALUES,
                           false, nullptr, &iteration, 0, &searched, reply) != 0)
                state.SkipWithError("search failed");
            nuint32 count = 0;
            NWDSGetObjectCount(context, reply, &count);
            for (nuint32 i = 0; i < count; ++i) {
                char name[MAX_DN_BYTES];
                NWDSGetObjectName(context, reply, name, nullptr, nullptr);
                benchmark::DoNotOptimize(name);
            }
            found += count;
        } while (iteration != NO_MORE_ITERATIONS);
    }
    state.counters["found"] = static_cast<double>(found);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * found));
    NWDSFreeBuf(filter);
    NWDSFreeBuf(reply);
    NWDSFreeContext(context);
}

// Loading the directory file at client start (a new configuration forces a reload).
void loadDirectory(benchmark::State& state) {
    const auto& path = directoryFor(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        setenv("NWCLIENT_CONFIG", "/nonexistent/nwclient.ini", 1);
        NWCallsInit(nullptr, nullptr);
        setenv("NWCLIENT_CONFIG", (path / "nwclient.ini").c_str(), 1);
        if (NWCallsInit(nullptr, nullptr) != 0) state.SkipWithError("load failed");
    }
}

}  // namespace

BENCHMARK(listContainer)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(searchSubtree)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(loadDirectory)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
