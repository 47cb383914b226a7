// [Requirements]: what the machine must have before the product is installed.
#include <gtest/gtest.h>

#include "RecordsFixture.h"
#include "records/Requirements.h"

namespace kestrel::setup {
namespace {

using test::productScript;

class RequirementsTest : public test::SetupFixture {
  protected:
    std::optional<std::string> unmet(const std::string& lines,
                                     const std::string& application = "") {
        load(productScript(application, "[Requirements]\n" + lines));
        return records::unmetRequirement(session_->context());
    }
};

TEST(RequirementTokens, BlanksSeparateExceptInsideParenthesesAndQuotes) {
    EXPECT_EQ(records::requirementTokens("  %WindowsVersion%  >= 4.0 "),
              (std::vector<std::string>{"%WindowsVersion%", ">=", "4.0"}));
    EXPECT_EQ(records::requirementTokens("DoesFileExist(C:\\Program Files\\a b.exe) == 1"),
              (std::vector<std::string>{"DoesFileExist(C:\\Program Files\\a b.exe)", "==", "1"}));
    EXPECT_EQ(records::requirementTokens("FileVersion (\"C:\\x (1)\\y.dll\") > \"1 2\""),
              (std::vector<std::string>{"FileVersion", "(C:\\x (1)\\y.dll)", ">", "1 2"}));
}

TEST_F(RequirementsTest, ComparesNumbersVersionsAndTextsOfExpandedValues) {
    EXPECT_EQ(unmet("%Version% = 2.0\n10 > 9\n-3 < 2\n3.0 > 2.9.1\nabc == ABC\n1.10 < 1.9\n"),
              std::nullopt);
    EXPECT_EQ(unmet("%Version% >= 2.1\n"), "%Version% >= 2.1");
    EXPECT_EQ(unmet("10 > 9\n9 > 10\n"), "9 > 10");  // the first that fails
    EXPECT_EQ(unmet("1 ~ 1\n"), "1 ~ 1");            // unknown operator
}

TEST_F(RequirementsTest, FunctionsLookAtTheMachine) {
    const auto file = machine_->hostPath("C:\\Program Files\\Acme Old\\a.txt");
    ASSERT_TRUE(file);
    std::filesystem::create_directories(file->parent_path());
    kestrel::test::writeFile(*file, "x");
    EXPECT_EQ(unmet("DoesFileExist(C:\\Program Files\\Acme Old\\a.txt) == 1\n"
                    "DoesPathExist (%ProgramFilesDir%\\Acme Old) = 1\n"
                    "DoesFileExist(C:\\nothing.txt) = 0\n"
                    "FileVersion(C:\\Program Files\\Acme Old\\a.txt) == \"\"\n"),
              std::nullopt);
    EXPECT_EQ(unmet("DoesPathExist(C:\\Nowhere) == 1\n"), "DoesPathExist(C:\\Nowhere) == 1");
}

TEST_F(RequirementsTest, AShortLineIsReportedAndSkipped) {
    EXPECT_EQ(unmet("1 ==\n\n; comment\n1 == 1\n"), std::nullopt);
    ASSERT_EQ(ui_.numbers(), std::vector<int>{messages::kInvalidParameter});
    EXPECT_NE(ui_.shown.front().box.text.find("'1 =='"), std::string::npos);
}

TEST_F(RequirementsTest, AnUnmetRequirementIsShownUnlessSilent) {
    load(productScript("", "[Requirements]\n1 > 2\n"));
    EXPECT_FALSE(records::requirementsMet(session_->context()));
    ASSERT_EQ(ui_.numbers(), std::vector<int>{messages::kRequirementNotMet});
    EXPECT_NE(ui_.shown.front().box.text.find("Requirement '1 > 2' not met!"), std::string::npos);

    load(productScript("RequirementsText=%ProductName% needs\\nmore\n", "[Requirements]\n1 > 2\n"));
    ui_.shown.clear();
    EXPECT_FALSE(records::requirementsMet(session_->context()));
    ASSERT_EQ(ui_.numbers(), std::vector<int>{messages::kRequirementText});
    EXPECT_EQ(ui_.shown.front().box.text, "Acme Tools needs\r\nmore");

    load(productScript("", "[Requirements]\n1 > 2\n"));
    session_->context().run.silent = true;
    ui_.shown.clear();
    EXPECT_FALSE(records::requirementsMet(session_->context()));
    EXPECT_TRUE(ui_.shown.empty());

    load(productScript());  // no section: nothing to meet
    EXPECT_TRUE(records::requirementsMet(session_->context()));
}

}  // namespace
}  // namespace kestrel::setup
