// The directory client under load: listing one container of N workstations and searching
// a subtree of N objects, both through 4096-byte reply buffers, and loading the file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>

#include "BenchDirectory.h"
#include "nwcalls.h"
#include "nwnet.h"

namespace {

using kestrel::bench::BenchDirectory;

// One directory per size, written once; the workstations carry a few registration
// attributes.
BenchDirectory& directoryFor(int workstations) {
    static std::map<int, std::unique_ptr<BenchDirectory>> made;
    auto& directory = made[workstations];
    if (!directory) {
        std::vector<kestrel::bench::BenchWorkstation> pool;
        for (int i = 0; i < workstations; ++i) {
            std::string name = "WS" + std::to_string(i);
            std::string address =
                "127.0." + std::to_string((i / 250) % 256) + "." + std::to_string(i % 250 + 1);
            pool.push_back(
                {name, {{"WM:NAME Computer", {name}}, {"WM:Network Address", {address}}}});
        }
        directory = std::make_unique<BenchDirectory>(pool);
    }
    return *directory;
}

NWDSContextHandle useDirectory(int workstations) {
    directoryFor(workstations).use();
    kestrel::bench::loginAsBenchAdmin();
    NWDSContextHandle context = 0;
    NWDSCreateContextHandle(&context);
    NWDSSetContext(context, DCK_TREE_NAME, "BENCH_TREE");
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
            if (NWDSSearch(context, ".[Root]", DS_SEARCH_SUBTREE, false, filter,
                           DS_ATTRIBUTE_VALUES, false, nullptr, &iteration, 0, &searched,
                           reply) != 0)
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
    const auto& config = directoryFor(static_cast<int>(state.range(0))).clientConfig();
    for (auto _ : state) {
        setenv("NWCLIENT_CONFIG", "/nonexistent/nwclient.ini", 1);
        NWCallsInit(nullptr, nullptr);
        setenv("NWCLIENT_CONFIG", config.c_str(), 1);
        if (NWCallsInit(nullptr, nullptr) != 0) state.SkipWithError("load failed");
    }
}

}  // namespace

BENCHMARK(listContainer)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(searchSubtree)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(loadDirectory)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
