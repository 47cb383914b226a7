// A link the program manager keeps is one Wine starts: the target runs with the arguments.
#include <gtest/gtest.h>

#include "ExpectedMatchers.h"
#include "WineTest.h"
#include "platform/ProgramManager.h"

namespace kestrel::platform {
namespace {

using ProgramManagerLinkTest = kestrel::test::WineTest;

TEST_F(ProgramManagerLinkTest, WineStartsAnItemWithItsArguments) {
    const auto& prefix = sharedPrefix();
    auto root = MachineRoot::open(prefix, {});
    ASSERT_TRUE(root.has_value()) << root.error();
    ProgramManager manager(**root, [](std::string_view) { return std::nullopt; });
    const auto made = (*root)->hostPath("C:\\kestrel-link-ran");
    ASSERT_TRUE(made);
    std::filesystem::remove_all(*made);
    ASSERT_THAT(manager.execute("[CreateGroup(Kestrel Wine Test)]"
                                "[AddItem(C:\\windows\\system32\\cmd.exe /c mkdir "
                                "C:\\kestrel-link-ran,Make Folder)]"),
                kestrel::test::Succeeded());
    const auto link = (*root)->hostPath((*root)->shellFolder(ShellFolder::Programs, false) +
                                        "\\Kestrel Wine Test\\Make Folder.lnk");
    ASSERT_TRUE(link && std::filesystem::is_regular_file(*link));
    // wine() returns when Wine's server has gone, so the started program has ended too.
    const Output started = wine(prefix, {"start", "/wait", "/unix", link->string()});
    EXPECT_EQ(started.exitCode, 0) << started.text;
    EXPECT_TRUE(std::filesystem::is_directory(*made)) << started.text;
    std::filesystem::remove_all(*made);
    ASSERT_THAT(manager.execute("[DeleteGroup(Kestrel Wine Test)]"), kestrel::test::Succeeded());
}

}  // namespace
}  // namespace kestrel::platform
