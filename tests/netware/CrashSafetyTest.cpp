// The compiled directory store survives its writer being killed at any moment: old or new
// content, never a half file, and nothing left that trips the next run.
#include <gtest/gtest.h>

#include "CrashLoop.h"
#include "DirectoryCache.h"
#include "IsolatedUser.h"
#include "LmdbStore.h"
#include "TestSupport.h"

using namespace nw;
namespace fs = std::filesystem;
using kestrel::test::CrashLoop;

namespace {

std::string directoryText(const std::string& workstation) {
    std::string objects = R"({"name": "O=A", "class": "Organization"})";
    for (int index = 0; index < 3000; ++index)
        objects += R"(, {"name": "CN=)" + workstation + std::to_string(index) +
                   R"(.O=A", "class": "Workstation", "attributes": {"WM:NAME Computer": [")" +
                   workstation + R"("]}})";
    return R"({"trees": [{"name": "T", "objects": [)" + objects + "]}]}";
}

// Each write changes the directory file and opens it, which rebuilds the store; a build
// killed half-way must leave the store of before, and the next build must succeed.
TEST(CrashSafety, CompiledStoreIsOldOrNew) {
    kestrel::test::IsolatedUser user;
    const fs::path file = user.root() / "directory.json";
    const fs::path store = storeFileFor(file);
    const std::array<std::string, 2> workstations{"WSA", "WSB"};
    const auto write = [&](int version) {
        kestrel::test::writeFile(file, directoryText(workstations[version]));
        auto opened = openDirectory(file);
        return opened && opened->notice.empty();
    };
    const auto observe = [&]() -> std::optional<std::string> {
        auto opened = openStore(store);
        if (!opened || opened->directory->trees().size() != 1) return std::nullopt;
        const auto& tree = opened->directory->trees()[0];
        for (const std::string& workstation : workstations) {
            const auto first = resolveName("CN=" + workstation + "0.O=A", AbsoluteName{}, false);
            const auto last = resolveName("CN=" + workstation + "2999.O=A", AbsoluteName{}, false);
            if (tree.find(*first) && tree.find(*last)) return workstation;
        }
        return "neither workstation";
    };
    CrashLoop loop("compiled store", store, 120);
    kestrel::test::expectOldOrNew(loop, {.write = write, .observe = observe});
}

}  // namespace
