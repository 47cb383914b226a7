#include "copy/VersionJudge.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "SetupFixture.h"
#include "copy/FileLine.h"
#include "copy/VersionFacts.h"
#include "messages/MessageStrings.h"
#include "platform/ProfileFunctions.h"

namespace kestrel::setup::test {
namespace {

using copy::Replacement;
namespace fs = std::filesystem;

const fs::path kVariants = fs::path(KESTREL_SAMPLE_PRODUCTS_DIR) / "harbor/variants";
constexpr int kDateConflict = 5506;
constexpr int kOperatingSystemConflict = 5543;
constexpr int kVersionConflict = 5544;
constexpr int kLanguageConflict = 5545;

class VersionJudgeTest : public SetupFixture {
  protected:
    void SetUp() override {
        if (!fs::exists(kVariants / "harbor-2.0-en.dll")) {
            GTEST_SKIP() << "sample products not built (no MinGW-w64 cross compiler)";
        }
    }
    // The library variant as the new file against another as the existing one.
    Replacement library(const std::string& incoming, const std::string& present,
                        std::uint32_t flags = 0) {
        return judge_.judge(kVariants / (incoming + ".dll"), kVariants / (present + ".dll"),
                            "C:\\windows\\system32\\HARBOR.DLL", flags);
    }
    // Two files without version resource, the new one `age` older than the existing one.
    Replacement dated(std::chrono::seconds age, std::uint32_t flags = 0) {
        const fs::path incoming = dir_ / "new.txt", present = dir_ / "old.txt";
        std::ofstream(incoming) << "new";
        std::ofstream(present) << "old";
        fs::last_write_time(incoming, fs::last_write_time(present) - age);
        return judge_.judge(incoming, present, "C:\\Harbor\\README.TXT", flags);
    }
    const std::string& lastText() const { return ui_.shown.back().box.text; }

    StringTable strings_;
    MessageEngine messages_{ui_, strings_};
    RunState run_;
    copy::VersionJudge judge_{messages_, run_, *machine_};
};

TEST_F(VersionJudgeTest, SixteenBitOverThirtyTwoBitAsksTheOtherWayReplaces) {
    ui_.answer({buttons::kYes});
    EXPECT_EQ(library("harbor-2.0-win16", "harbor-2.0-en"), Replacement::Replace);
    ASSERT_EQ(ui_.numbers(), std::vector<int>{kOperatingSystemConflict});
    EXPECT_EQ(lastText(),
              "Operating system conflict!\n\nFile: C:\\windows\\system32\\HARBOR.DLL\n\n"
              "Destination:\nDescription: Harbor library\nVersion: 2.0\nOperating system: "
              "Windows (32 Bit)\n\nSource:\nDescription: Harbor library\nVersion: 2.0\n"
              "Operating system: Windows (16 Bit)\n\nShould the destination file be overwritten?");
    ui_.answer({buttons::kNo});
    EXPECT_EQ(library("harbor-2.0-win16", "harbor-1.0-en"), Replacement::Keep);

    ui_.shown.clear();
    EXPECT_EQ(library("harbor-1.0-en", "harbor-2.0-win16"), Replacement::Replace);
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(VersionJudgeTest, NewerVersionsReplaceOlderOnesAsk) {
    EXPECT_EQ(library("harbor-2.0-en", "harbor-1.0-en"), Replacement::Replace);
    EXPECT_TRUE(ui_.shown.empty());
    // No is the default button.
    EXPECT_EQ(library("harbor-1.0-en", "harbor-2.0-en"), Replacement::Keep);
    ASSERT_EQ(ui_.numbers(), std::vector<int>{kVersionConflict});
    EXPECT_EQ(lastText(),
              "Version conflict!\n\nFile: C:\\windows\\system32\\HARBOR.DLL\n\nDestination:\n"
              "Description: Harbor library\nVersion: 2.0\n\nSource:\nDescription: Harbor "
              "library\nVersion: 1.0\n\nShould the destination file be overwritten?");
    ui_.answer({buttons::kYes});
    EXPECT_EQ(library("harbor-1.0-en", "harbor-2.0-en"), Replacement::Replace);
}

TEST_F(VersionJudgeTest, EqualVersionTextsShowTheNumbers) {
    EXPECT_EQ(library("harbor-2.0-en", "harbor-2.0.0.1-en"), Replacement::Keep);
    EXPECT_NE(lastText().find("Destination:\nDescription: Harbor library\nVersion: 2.00.00.01\n"),
              std::string::npos)
        << lastText();
    EXPECT_NE(lastText().find("Source:\nDescription: Harbor library\nVersion: 2.00.00.00\n"),
              std::string::npos)
        << lastText();
}

TEST_F(VersionJudgeTest, SameVersionInAnotherLanguageAsks) {
    EXPECT_EQ(library("harbor-2.0-en", "harbor-2.0-en"), Replacement::Replace);
    EXPECT_TRUE(ui_.shown.empty());
    ui_.answer({buttons::kYes});
    EXPECT_EQ(library("harbor-2.0-de", "harbor-2.0-en"), Replacement::Replace);
    ASSERT_EQ(ui_.numbers(), std::vector<int>{kLanguageConflict});
    EXPECT_NE(lastText().find("Destination:\nDescription: Harbor library\nVersion: 2.0\n"
                              "Language: English (United States)\nCharset: Multilingual\n\n"
                              "Source:\nDescription: Harbor library\nVersion: 2.0\n"
                              "Language: German (Standard)\nCharset: Multilingual\n"),
              std::string::npos)
        << lastText();
}

TEST_F(VersionJudgeTest, NoneOnceAnswersEveryLaterQuestionWithNo) {
    ui_.answer({buttons::kAll, buttons::kYes, buttons::kYes});
    EXPECT_EQ(dated(std::chrono::hours(1)), Replacement::Keep);  // None counts as No
    EXPECT_EQ(library("harbor-1.0-en", "harbor-2.0-en"), Replacement::Keep);
    EXPECT_EQ(library("harbor-2.0-de", "harbor-2.0-en"), Replacement::Keep);
    EXPECT_EQ(library("harbor-2.0-win16", "harbor-2.0-en"), Replacement::Keep);
    EXPECT_EQ(ui_.numbers(), std::vector<int>{kDateConflict});
    // What needs no question still replaces.
    EXPECT_EQ(library("harbor-2.0-en", "harbor-1.0-en"), Replacement::Replace);
}

TEST_F(VersionJudgeTest, SilentRunsAnswerNoWithoutAsking) {
    for (int level : {0, 1, 2}) {
        run_.silent = true;
        run_.silentLevel = level;
        EXPECT_EQ(library("harbor-1.0-en", "harbor-2.0-en"), Replacement::Keep);
        EXPECT_EQ(dated(std::chrono::hours(1)), Replacement::Keep);
    }
    run_.silent = false;  // /S3 is the quietest
    run_.silentLevel = 3;
    EXPECT_EQ(library("harbor-2.0-win16", "harbor-2.0-en"), Replacement::Keep);
    EXPECT_TRUE(ui_.shown.empty());
    EXPECT_EQ(library("harbor-2.0-en", "harbor-1.0-en"), Replacement::Replace);
}

TEST_F(VersionJudgeTest, DatesDecideWithoutVersionInformation) {
    EXPECT_EQ(dated(std::chrono::seconds(0)), Replacement::Replace);
    EXPECT_EQ(dated(-std::chrono::hours(1)), Replacement::Replace);
    EXPECT_EQ(dated(std::chrono::hours(1), fileflag::kReplaceOlder), Replacement::Keep);
    EXPECT_EQ(dated(std::chrono::hours(1), fileflag::kNoDateWarning), Replacement::Replace);
    EXPECT_EQ(dated(std::chrono::hours(1), fileflag::kAlways), Replacement::Replace);
    EXPECT_TRUE(ui_.shown.empty());
    ui_.answer({buttons::kYes});
    EXPECT_EQ(dated(std::chrono::hours(1)), Replacement::Replace);
    EXPECT_EQ(ui_.numbers(), std::vector<int>{kDateConflict});
    // A library against a file without version resource goes by date too.
    const fs::path library = kVariants / "harbor-1.0-en.dll";
    fs::last_write_time(dir_ / "old.txt", fs::last_write_time(library) - std::chrono::hours(1));
    EXPECT_EQ(judge_.judge(library, dir_ / "old.txt", "x", 0), Replacement::Replace);
    fs::last_write_time(dir_ / "old.txt", fs::last_write_time(library) + std::chrono::hours(1));
    EXPECT_EQ(judge_.judge(library, dir_ / "old.txt", "x", fileflag::kReplaceOlder),
              Replacement::Keep);
}

fs::file_time_type localFileTime(int year, int month, int day, int hour, int minute) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_isdst = -1;
    return std::chrono::file_clock::from_sys(
        std::chrono::system_clock::from_time_t(std::mktime(&local)));
}

TEST_F(VersionJudgeTest, DateQuestionUsesTheRootsSeparators) {
    const fs::path incoming = dir_ / "new.txt", present = dir_ / "old.txt";
    std::ofstream(incoming) << "new";
    std::ofstream(present) << "old";
    fs::last_write_time(incoming, localFileTime(2024, 3, 5, 14, 7));
    fs::last_write_time(present, localFileTime(2025, 11, 30, 9, 45));
    EXPECT_EQ(judge_.judge(incoming, present, "C:\\Harbor\\README.TXT", 0), Replacement::Keep);
    EXPECT_EQ(lastText(),
              "Date conflict!\n\nFile: C:\\Harbor\\README.TXT\n\nDestination:\nDate: 30.11.2025 "
              "09:45\n\nSource:\nDate: 05.03.2024 14:07\n\nShould the destination file be "
              "overwritten?");

    ASSERT_TRUE(
        platform::writeProfileString(machine_->profileFile("win.ini"), "intl", "sDate", "/"));
    ASSERT_TRUE(
        platform::writeProfileString(machine_->profileFile("win.ini"), "intl", "sTime", "."));
    EXPECT_EQ(judge_.judge(incoming, present, "C:\\Harbor\\README.TXT", 0), Replacement::Keep);
    EXPECT_NE(lastText().find("Date: 30/11/2025 09.45\n\nSource:\nDate: 05/03/2024 14.07\n"),
              std::string::npos)
        << lastText();
}

TEST(VersionFactsNames, CharsetsAndLanguagesStayApart) {
    const StringTable strings;
    EXPECT_EQ(copy::charsetName(0, strings), "7-bit ASCII");
    EXPECT_EQ(copy::charsetName(1252, strings), "Multilingual");
    EXPECT_EQ(copy::charsetName(1361, strings), "Korean (Johab)");
    // Code pages without a name keep their number, so two of them never look alike.
    EXPECT_EQ(copy::charsetName(437, strings), "437");
    EXPECT_EQ(copy::operatingSystemName(0, strings), "Unknown");
    EXPECT_EQ(copy::operatingSystemName(16, strings), "Windows (16 Bit)");

    copy::VersionFacts a, b;
    a.language = b.language = "Unknown language";
    a.languageId = 0x7001;
    b.languageId = 0x7002;
    EXPECT_FALSE(copy::sameLanguage(a, b));
    b.languageId = 0x7001;
    EXPECT_TRUE(copy::sameLanguage(a, b));
    b.codePage = 1250;
    EXPECT_FALSE(copy::sameLanguage(a, b));
}

}  // namespace
}  // namespace kestrel::setup::test
