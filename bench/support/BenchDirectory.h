// The directory the benchmarks run against: BENCH_TREE with O=Bench, its admin
// CN=Admin.O=Bench (password "secret") and OU=Pool.O=Bench holding the workstations to
// measure, written with a client configuration into a folder of its own.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kestrel::bench {

struct BenchWorkstation {
    std::string name;        // common name below OU=Pool.O=Bench
    std::string attributes;  // JSON object text of its attributes, empty for none
};

class BenchDirectory {
  public:
    // The workstations appear in the directory in the given order.
    explicit BenchDirectory(const std::vector<BenchWorkstation>& pool);
    ~BenchDirectory();  // removes the folder
    BenchDirectory(const BenchDirectory&) = delete;
    BenchDirectory& operator=(const BenchDirectory&) = delete;

    const std::filesystem::path& folder() const { return folder_; }
    // Points this process's client (configuration, session, settings) at the directory.
    void use() const;

  private:
    std::filesystem::path folder_;
};

// Logs this process's client in to BENCH_TREE as the admin.
void loginAsBenchAdmin();

// WS0, WS1, ... WS<count-1>, without attributes.
std::vector<BenchWorkstation> numberedWorkstations(int count);

}  // namespace kestrel::bench
