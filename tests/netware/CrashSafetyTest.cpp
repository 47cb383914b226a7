// The session file and the compiled directory store survive their writer being killed at
// any moment: old or new content, never a half file, and nothing left that trips the next run.
#include <gtest/gtest.h>

#include "CrashLoop.h"
#include "DirectoryCache.h"
#include "IsolatedUser.h"
#include "LmdbStore.h"
#include "SessionStore.h"
#include "TestSupport.h"
#include "platform/AtomicFile.h"

using namespace nw;
namespace fs = std::filesystem;
using kestrel::test::CrashLoop;

namespace {

TEST(CrashSafety, SessionFileIsOldOrNew) {
    kestrel::test::TempDir dir;
    const fs::path file = dir / "session";
    {
        // Logins to many trees make the file long enough for kills inside its write.
        SessionStore store(file);
        ASSERT_TRUE(store.update([](SessionState& state) {
            for (int tree = 0; tree < 400; ++tree)
                state.logins["TREE" + std::to_string(tree)] = Login{"CN=Admin.O=Acme", tree};
        }));
    }
    const auto write = [&](int version) {
        SessionStore store(file);
        return store.update([version](SessionState& state) {
            state.defaultTree = version == 0 ? "ACME_TREE" : "OTHER_TREE";
            state.logins["ACME_TREE"] =
                Login{version == 0 ? "CN=Admin.O=Acme" : "CN=Ops.O=Acme", 915239109 + version};
        });
    };
    CrashLoop loop("session file", file);
    kestrel::test::expectOldOrNew(
        loop, {.write = write, .observe = [&] { return kestrel::platform::readWholeFile(file); }});
}

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
