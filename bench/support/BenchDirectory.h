// The directory the benchmarks run against: BENCH_TREE with O=Bench, its admin
// CN=Admin.O=Bench (password "secret") and OU=Pool.O=Bench holding the workstations to
// measure, in an isolated user of its own whose client reads it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "ClientWorld.h"

namespace kestrel::bench {

struct BenchWorkstation {
    std::string name;  // common name below OU=Pool.O=Bench
    kestrel::test::Json attributes = nullptr;
};

class BenchDirectory {
  public:
    // The workstations appear in the directory in the given order.
    explicit BenchDirectory(const std::vector<BenchWorkstation>& pool);

    const std::filesystem::path& clientConfig() const { return clientConfig_; }
    // Points this process's client (configuration, session, settings) at the directory.
    void use() { world_.enter(); }

  private:
    kestrel::test::ClientWorld world_;
    std::filesystem::path clientConfig_ = world_.clientConfig();
};

// Logs this process's client in to BENCH_TREE as the admin.
void loginAsBenchAdmin();

// WS0, WS1, ... WS<count-1>, without attributes.
std::vector<BenchWorkstation> numberedWorkstations(int count);

}  // namespace kestrel::bench
