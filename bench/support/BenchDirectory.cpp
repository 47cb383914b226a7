#include "BenchDirectory.h"

#include <stdlib.h>

#include <fstream>

#include "nwcalls.h"
#include "nwnet.h"

namespace kestrel::bench {

namespace {

constexpr const char* kSecretHash =
    "$6$kestreltest$/tanLLuEl3AKg8pXYM3VA6cawJhT73mqJgsKOSLK4GTDxUKtfyYyQ8kc7ZnUDg1m3owviRqrdMkX1"
    "xTNaho.E.";

}  // namespace

BenchDirectory::BenchDirectory(const std::vector<BenchWorkstation>& pool) {
    char pattern[] = "/tmp/kestrel-bench-XXXXXX";
    folder_ = mkdtemp(pattern);
    std::ofstream out(folder_ / "directory.json");
    out << "{\"trees\": [{\"name\": \"BENCH_TREE\", \"objects\": [\n"
        << "{\"name\": \"O=Bench\", \"class\": \"Organization\"},\n"
        << "{\"name\": \"CN=Admin.O=Bench\", \"class\": \"User\", \"password\": \"" << kSecretHash
        << "\"},\n"
        << "{\"name\": \"OU=Pool.O=Bench\", \"class\": \"Organizational Unit\"}";
    for (const auto& workstation : pool) {
        out << ",\n{\"name\": \"CN=" << workstation.name
            << ".OU=Pool.O=Bench\", \"class\": \"Workstation\"";
        if (!workstation.attributes.empty()) out << ", \"attributes\": " << workstation.attributes;
        out << "}";
    }
    out << "]}]}\n";
    std::ofstream(folder_ / "nwclient.ini")
        << "[Client]\nDirectory=directory.json\nDefaultTree=BENCH_TREE\n";
}

BenchDirectory::~BenchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void BenchDirectory::use() const {
    setenv("NWCLIENT_CONFIG", (folder_ / "nwclient.ini").c_str(), 1);
    setenv("XDG_STATE_HOME", (folder_ / "state").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (folder_ / "config").c_str(), 1);
}

void loginAsBenchAdmin() {
    NWCallsInit(nullptr, nullptr);
    NWDSContextHandle context = 0;
    NWDSCreateContextHandle(&context);
    NWDSSetContext(context, DCK_TREE_NAME, "BENCH_TREE");
    NWDSLogin(context, 0, ".CN=Admin.O=Bench", "secret", 0);
    NWDSFreeContext(context);
}

std::vector<BenchWorkstation> numberedWorkstations(int count) {
    std::vector<BenchWorkstation> pool;
    for (int i = 0; i < count; ++i) pool.push_back({"WS" + std::to_string(i), {}});
    return pool;
}

}  // namespace kestrel::bench
