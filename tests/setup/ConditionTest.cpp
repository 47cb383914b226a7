#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "SetupFixture.h"
#include "ops/ConditionFunctions.h"
#include "script/Condition.h"

namespace kestrel::setup::test {
namespace {

namespace fs = std::filesystem;

TEST(Versions, FirstPartsAreNumbersLaterPartsText) {
    EXPECT_GT(compareVersions("2.0", "1.9"), 0);
    EXPECT_GT(compareVersions("10.0", "9.0"), 0);
    EXPECT_LT(compareVersions("1.10", "1.9"), 0);   // "10" sorts before "9"
    EXPECT_LT(compareVersions("1.0", "1.0.1"), 0);  // a missing part sorts first
    EXPECT_EQ(compareVersions("1.0.A", "1.0.a"), 0);
    EXPECT_GT(compareVersions("1.\xE9", "1.z"), 0);  // bytes compare unsigned
    // Beyond ten parts nothing counts.
    EXPECT_EQ(compareVersions("1.1.1.1.1.1.1.1.1.1.2", "1.1.1.1.1.1.1.1.1.1.3"), 0);
}

TEST(Versions, RevisionsDecideEqualVersions) {
    EXPECT_GT(compareVersionsAndRevisions("1.0", "10", "1.0", "9"), 0);
    EXPECT_EQ(compareVersionsAndRevisions("1.0", "0", "1.0", ""), 0);
    EXPECT_LT(compareVersionsAndRevisions("1.0", "b", "1.0", "C"), 0);
    EXPECT_LT(compareVersionsAndRevisions("1.0", "99", "1.1", "1"), 0);
}

TEST(Operands, NumbersThenVersionsThenText) {
    EXPECT_EQ(compareOperands("10", "9"), 1);
    EXPECT_EQ(compareOperands("-3", "4"), -7);
    EXPECT_EQ(compareOperands("", "0"), 0);     // empty counts as a number
    EXPECT_LT(compareOperands("10", "9a"), 0);  // text: "1" before "9"
    EXPECT_LT(compareOperands("1.10", "1.9"), 0);
    EXPECT_EQ(compareOperands("ABC", "abc"), 0);
    // Huge numbers neither overflow nor wrap around.
    EXPECT_GT(compareOperands("99999999999999999999999", "-99999999999999999999999"), 0);
}

TEST(Operators, EachHoldsForItsValues) {
    struct Case {
        const char* op;
        bool negative, zero, positive;
    };
    for (const Case& c : {Case{"==", false, true, false}, Case{"=", false, true, false},
                          Case{"!=", true, false, true}, Case{"<>", true, false, true},
                          Case{">", false, false, true}, Case{"<", true, false, false},
                          Case{">=", false, true, true}, Case{"<=", true, true, false},
                          Case{"=>", false, false, false}}) {
        EXPECT_EQ(operatorHolds(c.op, -1), c.negative) << c.op;
        EXPECT_EQ(operatorHolds(c.op, 0), c.zero) << c.op;
        EXPECT_EQ(operatorHolds(c.op, 1), c.positive) << c.op;
    }
}

TEST(ConditionReading, CallsAttachedOrSeparateAndMissingParts) {
    std::vector<std::string> tokens{"DoesFileExist(C:\\a b)", "==", "1", "Then", "S1"};
    std::size_t at = 0;
    auto parts = readCondition(tokens, at);
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->left.text, "DoesFileExist");
    EXPECT_EQ(parts->left.argument, "C:\\a b");
    EXPECT_FALSE(parts->right.argument);
    EXPECT_EQ(at, 3u);

    tokens = {"1", "<=", "FileVersion", "(x.dll)", "Then"};
    at = 0;
    parts = readCondition(tokens, at);
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->right.argument, "x.dll");
    EXPECT_EQ(at, 4u);

    tokens = {"a", "=="};
    at = 0;
    EXPECT_FALSE(readCondition(tokens, at));
}

class ConditionFunctionsTest : public SetupFixture {};

TEST_F(ConditionFunctionsTest, FilesPathsAndVersionsOnTheMachineRoot) {
    load("[Setup]\nVersion=5.11\n[Application]\nApplicationDir=C:\\Acme\n");
    const auto host = machine_->hostPath("C:\\Data\\x.ini");
    ASSERT_TRUE(host);
    fs::create_directories(host->parent_path());
    std::ofstream(*host) << "no program";
    const ConditionFunction call = conditionFunctions(session_->context());
    EXPECT_EQ(call("DoesFileExist", "C:\\Data\\x.ini"), "1");
    EXPECT_EQ(call("doespathexist", "C:\\Data"), "1");
    EXPECT_EQ(call("DoesFileExist", "C:\\Data\\y.ini"), "0");
    EXPECT_EQ(call("FileVersion", "C:\\Data\\x.ini"), "");
    EXPECT_EQ(call("Other", "x"), std::nullopt);
    EXPECT_TRUE(conditionHolds({{"DoesFileExist", "C:\\Data\\y.ini"}, "==", {"0", {}}}, call));
    EXPECT_FALSE(conditionHolds({{"Other", "x"}, "==", {"x", {}}}, call));

    const fs::path program = fs::path(KESTREL_SAMPLE_PRODUCTS_DIR) / "harbor/files/HARBOR.EXE";
    if (!fs::exists(program)) GTEST_SKIP() << "sample products not built";
    fs::copy_file(program, host->parent_path() / "HARBOR.EXE");
    EXPECT_EQ(call("FileVersion", "C:\\Data\\HARBOR.EXE"), "3.1.4.15");
}

}  // namespace
}  // namespace kestrel::setup::test
