// Copies of the logger killed at random while they append to the same log: every line of the
// log is whole or absent, a new log gets its header exactly once, and nothing a killed copy
// left beside the log outlasts the next copy's visit.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "CrashLoop.h"
#include "LogFile.h"
#include "LogLines.h"
#include "TestSupport.h"

namespace kestrel::rclog {
namespace {

namespace fs = std::filesystem;

constexpr int kCopies = 4;

const std::string kHeader =
    logHeader(LogKind::Session, {"2.0w", "Comment", "(C) Us", "Company", "TM"}, false);

std::string lineOf(int round, int copy) {
    SessionRecord record;
    record.initiator = "ADMIN.OU1.O1";
    // Long enough to cross a page of the file now and then.
    record.target = "WS" + std::to_string(round) + "-" + std::to_string(copy) + "." +
                    std::string(300, 'S') + ".O1";
    record.action = "Remote Control";
    record.tree = "TREE1";
    const Stamp start{"14:05:09", "07 Jul 1999"};
    return sessionLine(start, Stamp{"14:35:00", "07 Jul 1999"}, record);
}

// The lines after the header, each with its line end; a piece after the last line end is
// marked torn.
std::vector<std::string> linesAfterHeader(const std::string& log) {
    std::vector<std::string> lines;
    std::size_t at = kHeader.size();
    while (at < log.size()) {
        const std::size_t end = log.find("\r\n", at);
        if (end == std::string::npos) {
            lines.push_back(log.substr(at) + " <torn>");
            break;
        }
        lines.push_back(log.substr(at, end + 2 - at));
        at = end + 2;
    }
    return lines;
}

// The start of a line of `written`, cut where a copy was killed inside its write (only
// possible when the line's bytes spanned two pages of the file), on a line of its own.
bool isUnfinished(std::string line, const std::map<std::string, int>& written) {
    for (const std::string_view end : {std::string_view("\r\n"), std::string_view(" <torn>")})
        if (line.ends_with(end)) line.resize(line.size() - end.size());
    return std::any_of(written.begin(), written.end(), [&](const auto& entry) {
        return entry.first.size() > line.size() + 2 && entry.first.starts_with(line);
    });
}

TEST(LogCrashSafety, LinesAreWholeOrAbsent) {
    test::TempDir dir;
    const fs::path log = dir / "Quillbox.CSV";
    const Pause noPause = [](std::chrono::milliseconds) {};
    const auto append = [&](int round, int copy) {
        std::optional<LogFile> file = LogFile::open(log, kHeader, noPause);
        return file && file->append(lineOf(round, copy));
    };
    test::CrashLoop loop("session log", log, 100);
    // Writing a line to its end takes about as long as a copy lives.
    ASSERT_TRUE(loop.calibrate([&] { return append(-1, 0); }).succeeded);
    fs::remove(log);

    std::map<std::string, int> written;  // every line a copy may have written, and how often
    for (int round = 0; loop.more(); ++round) {
        // Every third round starts without the log, so that copies race to create it.
        if (round % 3 == 0) {
            fs::remove(log);
            written.clear();
        }
        const std::vector<test::CrashRun> runs =
            loop.runTogether(kCopies, [&](int copy) { return append(round, copy); });
        for (int copy = 0; copy < kCopies; ++copy) written[lineOf(round, copy)] = 0;

        if (!fs::exists(log)) {
            for (const test::CrashRun& run : runs) {
                ASSERT_TRUE(run.killed) << "no log after " << run.describe();
            }
            continue;
        }
        const std::string content = test::readFile(log);
        ASSERT_EQ(content.substr(0, kHeader.size()), kHeader) << runs[0].describe();
        for (const std::string& line : linesAfterHeader(content)) {
            auto found = written.find(line);
            if (found == written.end() && isUnfinished(line, written)) continue;
            ASSERT_NE(found, written.end())
                << "not a line written whole: " << line << "\nafter " << runs[0].describe();
            ASSERT_EQ(++found->second, 1) << "written twice: " << line;
        }
        for (int copy = 0; copy < kCopies; ++copy) {
            const test::CrashRun& run = runs[static_cast<std::size_t>(copy)];
            if (!run.killed) {
                EXPECT_TRUE(run.succeeded && written[lineOf(round, copy)] == 1)
                    << "the line is missing after " << run.describe();
            }
        }
        for (auto& [line, count] : written) count = 0;
    }

    // The next copy that opens the log clears what killed copies left beside it.
    ASSERT_TRUE(append(-1, 1));
    EXPECT_EQ(test::namesBesides(dir.path(), {"Quillbox.CSV"}), std::vector<std::string>{});
}

// What a copy killed inside its write leaves: the start of a line without its end. The next
// line must begin on a line of its own rather than complete that one into a wrong record.
TEST(LogCrashSafety, LineAfterATornOneStartsOnItsOwn) {
    test::TempDir dir;
    const fs::path log = dir / "Quillbox.CSV";
    const std::string torn = lineOf(0, 0).substr(0, 40);
    test::writeFile(log, kHeader + lineOf(0, 1) + torn);
    std::optional<LogFile> file = LogFile::open(log, kHeader, [](std::chrono::milliseconds) {});
    ASSERT_TRUE(file && file->append(lineOf(0, 2)));
    ASSERT_TRUE(file->append(lineOf(0, 3)));
    EXPECT_EQ(test::readFile(log),
              kHeader + lineOf(0, 1) + torn + "\r\n" + lineOf(0, 2) + lineOf(0, 3));
}

}  // namespace
}  // namespace kestrel::rclog
