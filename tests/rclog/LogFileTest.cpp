// The two logs: their text, and how copies running at once share them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <set>

#include "LogFile.h"
#include "LogLines.h"
#include "RclogFixture.h"
#include "TestSupport.h"

namespace kestrel::rclog {
namespace {

namespace fs = std::filesystem;
using test::logLines;

const VersionStrings kVersion{"2.0w", "Comment", "(C) Us", "Company", "TM"};

std::tm moment(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

TEST(LogText, Headers) {
    EXPECT_EQ(logHeader(LogKind::Start, kVersion, false),
              "Quillbox.CS0  Version 2.0w Comment\r\n(C) Us, Company  TM\r\n\r\n"
              "Time, Date, RC Initiator, Target, Action, Tree name\r\n");
    EXPECT_EQ(logHeader(LogKind::Session, kVersion, true),
              "Quillbox.CSV  Version 2.0w Comment\r\n(C) Us, Company  TM\r\n\r\n"
              "Start Time, Start Date, End Time, End Date, RC Initiator, Target, "
              "WS OS, WS Computer Name, WS DNS Name, Action, Tree name\r\n");
    // Missing version texts stay empty around their fixed separators.
    EXPECT_EQ(logLines(logHeader(LogKind::Start, {}, false))[0], "Quillbox.CS0  Version  ");
    EXPECT_EQ(logLines(logHeader(LogKind::Start, {}, false))[1], ",   ");
}

TEST(LogText, TimesAndDates) {
    const Stamp stamp = Stamp::of(moment(1999, 7, 7, 14, 5, 9));
    EXPECT_EQ(stamp.time, "14:05:09");
    EXPECT_EQ(stamp.date, "07 Jul 1999");
    EXPECT_EQ(Stamp::of(moment(2000, 1, 1, 0, 0, 0)).date, "01 Jan 2000");
    EXPECT_EQ(Stamp::of(moment(2024, 12, 31, 23, 59, 59)).time, "23:59:59");
    EXPECT_EQ(Stamp::of(moment(2024, 12, 31, 23, 59, 59)).date, "31 Dec 2024");
}

TEST(LogText, LinesWithAndWithoutWorkstationColumns) {
    const Stamp start = Stamp::of(moment(1999, 7, 7, 14, 5, 9));
    const Stamp end = Stamp::of(moment(1999, 7, 8, 1, 2, 3));
    SessionRecord record{"ADMIN.OU1.O1", "WS1.OU1.O1", std::nullopt, "Remote Control", "TREE1"};
    EXPECT_EQ(startLine(start, record),
              "14:05:09, 07 Jul 1999, ADMIN.OU1.O1, WS1.OU1.O1, Remote Control, TREE1\r\n");
    record.workstation = {"WINNT", "n/a", "Unknown"};
    EXPECT_EQ(startLine(start, record),
              "14:05:09, 07 Jul 1999, ADMIN.OU1.O1, WS1.OU1.O1, WINNT, "
              "n/a, Unknown, Remote Control, TREE1\r\n");
    EXPECT_EQ(sessionLine(start, end, record),
              "14:05:09, 07 Jul 1999, 01:02:03, 08 Jul 1999, ADMIN.OU1.O1, WS1.OU1.O1, WINNT, "
              "n/a, Unknown, Remote Control, TREE1\r\n");
}

// Values go in unquoted; only a line break, which would forge a line, is blanked.
TEST(LogText, ValuesAreWrittenAsTheyAreButNeverBreakTheLine) {
    const SessionRecord record{"A,B", "WS\r\nfake line", std::nullopt, "x\ny", "T"};
    EXPECT_EQ(startLine(Stamp::of(moment(2001, 2, 3, 4, 5, 6)), record),
              "04:05:06, 03 Feb 2001, A,B, WS  fake line, x y, T\r\n");
}

class LogFileTest : public ::testing::Test {
  protected:
    std::vector<long> pauses_;
    Pause pause_ = [this](std::chrono::milliseconds d) { pauses_.push_back(d.count()); };
    kestrel::test::TempDir temp_;
    fs::path log_ = temp_ / "Quillbox.CS0";
    std::string header_ = logHeader(LogKind::Start, kVersion, false);
};

TEST_F(LogFileTest, CheckCreatesTheLogWithItsHeaderOnce) {
    EXPECT_TRUE(LogFile::check(log_, header_, pause_));
    EXPECT_EQ(kestrel::test::readFile(log_), header_);
    EXPECT_TRUE(LogFile::check(log_, "other header", pause_));
    auto file = LogFile::open(log_, "other header", pause_);
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->append("line\r\n"));
    EXPECT_EQ(kestrel::test::readFile(log_), header_ + "line\r\n");
    EXPECT_TRUE(pauses_.empty());
    // Nothing is left behind by the creation.
    EXPECT_EQ(std::distance(fs::directory_iterator(temp_.path()), fs::directory_iterator()), 1);
}

TEST_F(LogFileTest, FiveTriesHalfASecondApartThenFailure) {
    const fs::path missing = temp_ / "no such dir" / "Quillbox.CS0";
    EXPECT_FALSE(LogFile::open(missing, header_, pause_));
    EXPECT_EQ(pauses_, (std::vector<long>{500, 500, 500, 500, 500}));
    pauses_.clear();
    EXPECT_FALSE(LogFile::check(missing, header_, pause_));
    EXPECT_EQ(pauses_.size(), 5U);
    pauses_.clear();
    EXPECT_FALSE(LogFile::open("", header_, pause_));
    EXPECT_EQ(pauses_.size(), 5U);
}

TEST_F(LogFileTest, SomethingElseInTheLogsPlaceIsNoLog) {
    ASSERT_EQ(::mkfifo(log_.c_str(), 0644), 0);  // opening it must not block
    EXPECT_FALSE(LogFile::open(log_, header_, pause_));
    EXPECT_FALSE(LogFile::check(log_, header_, pause_));
    fs::remove(log_);
    fs::create_directory(log_);
    EXPECT_FALSE(LogFile::open(log_, header_, pause_));
    // The start-up check must not pass what the session then cannot write to.
    pauses_.clear();
    EXPECT_FALSE(LogFile::check(log_, header_, pause_));
    EXPECT_EQ(pauses_.size(), 5U);
    EXPECT_TRUE(fs::is_empty(log_));
}

TEST_F(LogFileTest, CheckRefusesALogThatMayOnlyBeRead) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write to any file";
    kestrel::test::writeFile(log_, header_);
    fs::permissions(log_, fs::perms::owner_read);
    EXPECT_FALSE(LogFile::check(log_, header_, pause_));
    EXPECT_EQ(kestrel::test::readFile(log_), header_);
}

// Copies racing to create the log and appending at once: one header, every line whole.
TEST_F(LogFileTest, ConcurrentWritersNeverLoseOrMixLines) {
    constexpr int kWriters = 16;
    constexpr int kLines = 100;
    const bool ok = kestrel::test::runInProcesses(kWriters, [&](int writer) {
        for (int i = 0; i < kLines; ++i) {
            auto file = LogFile::open(log_, header_, [](std::chrono::milliseconds) {});
            const std::string line = "writer " + std::to_string(writer) + " line " +
                                     std::to_string(i) + " " + std::string(200, 'x') + "\r\n";
            if (!file || !file->append(line)) return false;
        }
        return true;
    });
    ASSERT_TRUE(ok);
    const std::string text = kestrel::test::readFile(log_);
    ASSERT_EQ(text.substr(0, header_.size()), header_);
    const std::vector<std::string> lines = logLines(text.substr(header_.size()));
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kWriters * kLines));
    std::set<std::string> distinct;
    for (const std::string& line : lines) {
        int writer = -1, number = -1, end = 0;
        std::sscanf(line.c_str(), "writer %d line %d %n", &writer, &number, &end);
        EXPECT_TRUE(writer >= 0 && number >= 0 && line.substr(end) == std::string(200, 'x'))
            << line;
        distinct.insert(line);
    }
    EXPECT_EQ(distinct.size(), lines.size());
}

}  // namespace
}  // namespace kestrel::rclog
