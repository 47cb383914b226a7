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
    const std::string typeLib = "TypeLib\\{4b1e5f3a-0000-4000-8000-0000000071b0}";
    ASSERT_EQ(services.writeString(RegistryRoot::ClassesRoot, typeLib, "", "KestrelLib"), 0);
    const std::string fonts = R"(Software\Microsoft\Windows NT\CurrentVersion\Fonts)";
    ASSERT_EQ(services.writeString(RegistryRoot::LocalMachine, fonts, "Kestrel (TrueType)",
                                   "kestrel.ttf"),
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
    // File types have a 32-bit view of their own.
    const Output type32 = query(R"(HKCR\.kestrelviews)", "/reg:32");
    EXPECT_NE(type32.text.find("Kestrel.Doc"), std::string::npos) << type32.text;
    EXPECT_NE(query(R"(HKCR\.kestrelviews)", "/reg:64").exitCode, 0);
    // Keys both views share.
    for (const std::string& shared : {"HKCR\\" + typeLib, "HKLM\\" + fonts}) {
        for (const char* view : {"/reg:32", "/reg:64"}) {
            const Output seen = query(shared, view);
            EXPECT_NE(seen.text.find("Kestrel"), std::string::npos) << shared << view << seen.text;
        }
    }
}

}  // namespace
}  // namespace kestrel::setup
