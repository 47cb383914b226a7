#include "BenchDirectory.h"

#include "ClientLogin.h"

namespace kestrel::bench {

BenchDirectory::BenchDirectory(const std::vector<BenchWorkstation>& pool) {
    kestrel::test::DirectoryBuilder directory;
    directory.tree("BENCH_TREE")
        .object("O=Bench", "Organization")
        .user("CN=Admin.O=Bench")
        .object("OU=Pool.O=Bench", "Organizational Unit");
    for (const auto& workstation : pool)
        directory.object("CN=" + workstation.name + ".OU=Pool.O=Bench", "Workstation",
                         workstation.attributes);
    world_.useDirectory(directory, {.defaultTree = "BENCH_TREE"});
}

void loginAsBenchAdmin() {
    kestrel::test::loginThroughClient("BENCH_TREE", ".CN=Admin.O=Bench",
                                      kestrel::test::kTestPassword);
}

std::vector<BenchWorkstation> numberedWorkstations(int count) {
    std::vector<BenchWorkstation> pool;
    for (int i = 0; i < count; ++i) pool.push_back({"WS" + std::to_string(i)});
    return pool;
}

}  // namespace kestrel::bench
