#include <gtest/gtest.h>

#include "system/SecurityCommand.h"

namespace kestrel::setup {
namespace {

std::vector<std::string> texts(const SecurityCommand& command) {
    std::vector<std::string> list;
    for (const SecurityArgument& argument : command.arguments) list.push_back(argument.text);
    return list;
}

TEST(SecurityCommandParse, ObjectsMethodsAndArguments) {
    const auto group = parseSecurityCommand(" localgroup . ADDMEMBER ( 'Editors' , 'O''Brien' ) ");
    ASSERT_TRUE(group);
    EXPECT_EQ(group->object, SecurityObject::LocalGroup);
    EXPECT_EQ(group->method, SecurityMethod::AddMember);
    EXPECT_EQ(texts(*group), (std::vector<std::string>{"Editors", "O'Brien"}));

    // ")" joins flag words too: the list ends at the last one.
    const auto dacl =
        parseSecurityCommand("FileDacl.Add ('C:\\A (x)', 'Users', GRANT)RECURSEDIR, R+W,)");
    ASSERT_TRUE(dacl);
    EXPECT_EQ(texts(*dacl),
              (std::vector<std::string>{"C:\\A (x)", "Users", "GRANT)RECURSEDIR", "R+W", ""}));
    EXPECT_EQ(dacl->argument(7), "");

    const auto empty = parseSecurityCommand("LocalUser.Add ('bob', '', , PRIV_USER)");
    ASSERT_TRUE(empty);
    EXPECT_EQ(texts(*empty), (std::vector<std::string>{"bob", "", "", "PRIV_USER"}));
}

TEST(SecurityCommandParse, MalformedLinesSayWhy) {
    const std::pair<const char*, long> cases[] = {
        {"", kNoArgumentList},
        {"LocalGroup.Add 'Editors'", kNoArgumentList},
        {"LocalGroup ('Editors')", kUnknownCommand},
        {"LocalGroup.Create ('Editors')", kUnknownCommand},
        {"Account.Add ('Editors')", kUnknownCommand},
        {"FileDacl.AddMember ('C:\\x', 'Users')", kUnknownCommand},
        {"LocalGroup.Add ('Editors'", kBadArguments},
        {"LocalGroup.Add ('Editors)", kBadArguments},
        {"LocalGroup.Add ('Edi'tors')", kBadArguments},
        {"LocalGroup.Add (('Editors'))", kBadArguments},
        {"LocalGroup.Add ('Editors') and more", kBadArguments},
        {"LocalGroup.Add ('Editors' 'Other')", kBadArguments},
        {"LocalGroup.Add ()", kBadArguments},
        {"LocalGroup.AddMember ('Editors')", kBadArguments},
        {"Privilege.Add ('SeServiceLogonRight')", kBadArguments},
    };
    for (const auto& [line, error] : cases) {
        const auto parsed = parseSecurityCommand(line);
        ASSERT_FALSE(parsed) << line;
        EXPECT_EQ(parsed.error(), error) << line;
    }
}

TEST(SecurityCommandParse, PasswordsScrambleBothWaysAndNeverShow) {
    // Character i of n XOR-ed with (n - i) AND 31.
    EXPECT_EQ(scramblePassword("abc"), "b`b");
    EXPECT_EQ(scramblePassword("b`b"), "abc");
    const std::string longer(40, 'x');
    EXPECT_EQ(scramblePassword(scramblePassword(longer)), longer);
    EXPECT_EQ(static_cast<unsigned char>(scramblePassword(longer)[8]), 'x' ^ 0);  // 32 AND 31

    const std::string line = "LocalUser.Add ('bob', 'secret', 'Bob')";
    EXPECT_EQ(displayedLine(line, parseSecurityCommand(line).value()),
              "LocalUser.Add ('bob', '********', 'Bob')");
    const std::string group = "LocalGroup.Add ('bob', 'secret')";
    EXPECT_EQ(displayedLine(group, parseSecurityCommand(group).value()), group);
}

}  // namespace
}  // namespace kestrel::setup
