// What the installer writes on a 64-bit root, Wine shows in the views a 32-bit program has.
#include <gtest/gtest.h>

#include "ExpectedMatchers.h"
#include "WineTest.h"
#include "ops/RegistryServices.h"
#include "script/Environment.h"

namespace kestrel::setup {
namespace {

using platform::RegistryRoot;
using RegistryViewsTest = kestrel::test::WineTest;

TEST_F(RegistryViewsTest, WineSeesOurWritesWhereA32BitProgramPutsThem) {
    const auto& prefix = sharedPrefix();
    auto root = platform::MachineRoot::open(prefix, {"alice", {}});
    ASSERT_TRUE(root.has_value()) << root.error();
    ASSERT_TRUE((*root)->is64Bit());  // Wine's default on this host
    MemoryEnvironment environment;
    RegistryServices services(**root, environment);
    const std::string clsid = "CLSID\\{4b1e5f3a-0000-4000-8000-00000000c0de}";
    ASSERT_EQ(
        services.writeString(RegistryRoot::LocalMachine, "Software\\KestrelViews", "V", "ours"), 0);
    ASSERT_EQ(services.writeString(RegistryRoot::ClassesRoot, clsid, "", "Kestrel"), 0);
    ASSERT_EQ(services.writeString(RegistryRoot::ClassesRoot, ".kestrelviews", "", "Kestrel.Doc"),
              0);
    ASSERT_THAT(services.save(), kestrel::test::Succeeded());

    const auto query = [&](const std::string& key, const char* view) {
        return wine(prefix, {"reg", "query", key, view});
    };
    const Output software32 = query(R"(HKLM\Software\KestrelViews)", "/reg:32");
    EXPECT_EQ(software32.exitCode, 0);
    EXPECT_NE(software32.text.find("ours"), std::string::npos) << software32.text;
    EXPECT_NE(query(R"(HKLM\Software\KestrelViews)", "/reg:64").exitCode, 0);
    EXPECT_EQ(query("HKCR\\" + clsid, "/reg:32").exitCode, 0);
    EXPECT_NE(query("HKCR\\" + clsid, "/reg:64").exitCode, 0);
    // File types are shared between the views.
    const Output type64 = query(R"(HKCR\.kestrelviews)", "/reg:64");
    EXPECT_NE(type64.text.find("Kestrel.Doc"), std::string::npos) << type64.text;
}

}  // namespace
}  // namespace kestrel::setup
