// The copy engine's sources against plain files, and cabinets and compressed files made by the
// standard tools at test time: bytes as they reach the sink, member details, and failures.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "ExpectedMatchers.h"
#include "SampleBytes.h"
#include "StringSink.h"
#include "TestSupport.h"
#include "copy/CabinetSource.h"
#include "copy/CabinetTemplate.h"
#include "copy/LzSource.h"
#include "copy/PlainSource.h"

namespace kestrel::setup::copy {
namespace {

namespace fs = std::filesystem;
using test::FailsWith;
using test::FailsWithText;
using test::Succeeded;
using ::testing::HasSubstr;

bool haveTool(const char* tool) {
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

bool run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

TEST(CabinetTemplate, NumbersTheCabinetFromTheRunOfZeros) {
    EXPECT_EQ(cabinetFileName("Data00.cab", 7), "Data07.cab");
    EXPECT_EQ(cabinetFileName("Data0000.cab", 42), "Data0042.cab");
    // Zeros in two places count together and the digits start at the first.
    EXPECT_EQ(cabinetFileName("D0ata0.cab", 7), "D07ta0.cab");
    EXPECT_EQ(cabinetFileName("Product.cab", 3), "Product.cab");
    EXPECT_EQ(cabinetFileName("Data00.cab", std::nullopt), "Setup.cab");
    EXPECT_EQ(cabinetFileName("", std::nullopt), "Setup.cab");
}

TEST(CabinetTemplate, WideNumberRunsOverTheTemplate) {
    EXPECT_EQ(cabinetFileName("Data0.cab", 12), "Data12cab");
    EXPECT_EQ(cabinetFileName("Disk0", 123), "Disk123");
}

class CabinetSourceTest : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        if (!haveTool("gcab")) GTEST_SKIP() << "gcab is not installed: cabinet tests skipped";
        fs::create_directory(dir / "in");
        test::writeFile(dir / "in" / "README.TXT", "read me\r\n");
        test::writeFile(dir / "in" / "Big.Dat", test::sampleBytes(200000, 1));
        test::writeFile(dir / "in" / "tool.exe", test::sampleBytes(70000, 2));
        // gcab stores the file's modification time as the member's local date and time.
        fs::last_write_time(
            dir / "in" / "README.TXT",
            std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(readmeStamp)));
        cabinet = dir / "Data01.cab";
        ASSERT_TRUE(run(std::string("gcab -c -n ") + (GetParam() ? "-z " : "") + "'" +
                        cabinet.string() + "' '" + (dir / "in" / "README.TXT").string() + "' '" +
                        (dir / "in" / "Big.Dat").string() + "' '" +
                        (dir / "in" / "tool.exe").string() + "'"));
    }

    SourceResult<CabinetMember> extractOne(const fs::path& from, const std::string& name) {
        auto source = CabinetSource::open(from);
        if (!source) return platform::unexpected(source.error());
        return source->extract(name, sink);
    }

    test::TempDir dir;
    fs::path cabinet;
    test::StringSink sink;
    const std::time_t readmeStamp = std::time(nullptr) - 400 * 24 * 3600;
};

TEST_P(CabinetSourceTest, ExtractsMembersByNameWithoutRegardToCase) {
    auto source = CabinetSource::open(cabinet);
    ASSERT_THAT(source, Succeeded());
    for (const char* name : {"readme.txt", "BIG.DAT", "Tool.Exe"}) {
        test::StringSink out;
        auto member = source->extract(name, out);
        ASSERT_THAT(member, Succeeded()) << name;
        EXPECT_EQ(out.data, test::readFile(dir / "in" / member->name)) << name;
        EXPECT_EQ(member->length, fs::file_size(dir / "in" / member->name));
    }
}

TEST_P(CabinetSourceTest, GivesTheMemberDateAndTime) {
    auto source = CabinetSource::open(cabinet);
    ASSERT_THAT(source, Succeeded());
    auto member = source->find("README.TXT");
    ASSERT_THAT(member, Succeeded());
    std::tm local{};
    localtime_r(&readmeStamp, &local);
    EXPECT_EQ(member->year, local.tm_year + 1900);
    EXPECT_EQ(member->month, local.tm_mon + 1);
    EXPECT_EQ(member->day, local.tm_mday);
    EXPECT_EQ(member->hour, local.tm_hour);
    EXPECT_EQ(member->minute, local.tm_min);
    EXPECT_EQ(member->attributes & ~0x27u, 0u) << "only DOS attribute bits are given";
}

TEST_P(CabinetSourceTest, ExtractsMembersInAnyOrder) {
    auto source = CabinetSource::open(cabinet);
    ASSERT_THAT(source, Succeeded());
    // Backwards through the folder, then forwards again: the reader starts over where it must.
    for (const char* name : {"tool.exe", "Big.Dat", "README.TXT", "tool.exe"}) {
        test::StringSink out;
        ASSERT_THAT(source->extract(name, out), Succeeded()) << name;
        EXPECT_EQ(out.data, test::readFile(dir / "in" / name)) << name;
    }
}

TEST_P(CabinetSourceTest, MissingCabinetOrMemberIsReportedByKind) {
    auto missing = CabinetSource::open(dir / "Data02.cab");
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().kind, SourceError::Kind::Missing);
    EXPECT_EQ(missing.error().file, dir / "Data02.cab");

    auto member = extractOne(cabinet, "NOPE.TXT");
    EXPECT_THAT(member,
                FailsWith("Cannot find file 'NOPE.TXT' in cabinet '" + cabinet.string() + "'"));
    EXPECT_EQ(member.error().kind, SourceError::Kind::MemberMissing);
    EXPECT_EQ(member.error().file, cabinet);
    EXPECT_TRUE(sink.data.empty());

    auto directory = CabinetSource::open(dir / "in");
    ASSERT_FALSE(directory);
    EXPECT_EQ(directory.error().kind, SourceError::Kind::Unreadable);
}

TEST_P(CabinetSourceTest, SinkThatStopsEndsTheMemberAndTheNextOneStillReads) {
    auto source = CabinetSource::open(cabinet);
    ASSERT_THAT(source, Succeeded());
    sink.stopAfter = 40000;
    auto stopped = source->extract("Big.Dat", sink);
    ASSERT_FALSE(stopped);
    EXPECT_EQ(stopped.error().kind, SourceError::Kind::Interrupted);
    EXPECT_LT(sink.data.size(), 200000u);

    // The decompressor that was stopped mid-folder must not poison the members after it.
    test::StringSink next;
    ASSERT_THAT(source->extract("tool.exe", next), Succeeded());
    EXPECT_EQ(next.data, test::readFile(dir / "in" / "tool.exe"));
}

TEST_P(CabinetSourceTest, KeepsItsOwnCopyOfTheCabinetPath) {
    // The cabinet reader refers to the name it was opened with whenever it reads data; the
    // caller's path may change or go in the meantime.
    fs::path name = cabinet;
    auto source = CabinetSource::open(name);
    ASSERT_THAT(source, Succeeded());
    name.replace_filename("Xata01.cab");
    EXPECT_THAT(source->extract("tool.exe", sink), Succeeded());
    EXPECT_EQ(sink.data, test::readFile(dir / "in" / "tool.exe"));
}

TEST_P(CabinetSourceTest, DamagedCabinetIsUnreadable) {
    const std::string whole = test::readFile(cabinet);
    const fs::path truncated = dir / "truncated.cab";
    test::writeFile(truncated, whole.substr(0, whole.size() / 2));
    std::string garbled = whole;
    // Past the headers the data blocks begin; scrambling them spoils every member after.
    for (std::size_t i = whole.size() / 4; i < whole.size(); i += 7) garbled[i] ^= 0x5a;
    const fs::path corrupt = dir / "corrupt.cab";
    test::writeFile(corrupt, garbled);

    for (const auto& damaged : {truncated, corrupt}) {
        auto member = extractOne(damaged, "tool.exe");
        ASSERT_FALSE(member) << damaged;
        EXPECT_EQ(member.error().kind, SourceError::Kind::Unreadable) << member.error().message;
        EXPECT_THAT(member.error().message, HasSubstr(damaged.filename().string()));
    }
    EXPECT_THAT(extractOne(dir / "in" / "Big.Dat", "x"), FailsWithText(HasSubstr("signature")));
}

INSTANTIATE_TEST_SUITE_P(StoredAndMszip, CabinetSourceTest, ::testing::Bool(),
                         [](const auto& param) { return param.param ? "Mszip" : "Stored"; });

class LzSourceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!haveTool("mscompress"))
            GTEST_SKIP() << "mscompress is not installed: compressed file tests skipped";
        original = test::sampleBytes(50000, 3);
        test::writeFile(dir / "APP.DLL", original);
        ASSERT_TRUE(run("mscompress '" + (dir / "APP.DLL").string() + "'"));
        compressed = dir / "APP.DLL_";
        ASSERT_LT(fs::file_size(compressed), original.size());
    }

    test::TempDir dir;
    std::string original;
    fs::path compressed;
    test::StringSink sink;
};

TEST_F(LzSourceTest, ExpandsToTheOriginalBytes) {
    auto expanded = readLzFile(compressed, sink);
    ASSERT_THAT(expanded, Succeeded());
    EXPECT_TRUE(expanded->compressed);
    EXPECT_EQ(expanded->length, original.size());
    EXPECT_EQ(sink.data, original);
    EXPECT_EQ(expanded->missingChar, std::nullopt);

    auto inspected = inspectLzFile(compressed);
    ASSERT_THAT(inspected, Succeeded());
    EXPECT_EQ(inspected->length, original.size());
}

TEST_F(LzSourceTest, GivesTheRecordedLastCharacterOfTheName) {
    std::string bytes = test::readFile(compressed);
    bytes[9] = 'L';  // the header's place for the character the short name gave up
    test::writeFile(dir / "APP.DL_", bytes);
    auto expanded = readLzFile(dir / "APP.DL_", sink);
    ASSERT_THAT(expanded, Succeeded());
    EXPECT_EQ(expanded->missingChar, 'L');
    EXPECT_EQ(lzOriginalName("APP.DL_", expanded->missingChar), "APP.DLL");
    EXPECT_EQ(lzOriginalName("APP.DLL", 'X'), "APP.DLL");
    EXPECT_EQ(lzOriginalName("APP.DL_", std::nullopt), "APP.DL_");
}

TEST_F(LzSourceTest, FileThatIsNotCompressedPassesAsItIs) {
    for (const std::string& content : {std::string("plain text, not compressed"), std::string("SZ"),
                                       test::sampleBytes(70000, 4)}) {
        test::writeFile(dir / "plain.dl_", content);
        test::StringSink out;
        auto passed = readLzFile(dir / "plain.dl_", out);
        ASSERT_THAT(passed, Succeeded());
        EXPECT_FALSE(passed->compressed);
        EXPECT_EQ(passed->length, content.size());
        EXPECT_EQ(out.data, content);
    }
}

TEST_F(LzSourceTest, DamagedMissingOrStoppedFileFails) {
    const std::string whole = test::readFile(compressed);
    test::writeFile(dir / "short.dl_", whole.substr(0, whole.size() / 2));

    // The expander itself ends quietly at the cut; the recorded size must catch it.
    auto truncated = readLzFile(dir / "short.dl_", sink);
    ASSERT_FALSE(truncated);
    EXPECT_THAT(truncated.error().message, HasSubstr("truncated"));
    EXPECT_EQ(truncated.error().kind, SourceError::Kind::Unreadable);
    auto missing = readLzFile(dir / "gone.dl_", sink);
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().kind, SourceError::Kind::Missing);

    test::StringSink stopping;
    stopping.stopAfter = 1000;
    auto stopped = readLzFile(compressed, stopping);
    ASSERT_FALSE(stopped);
    EXPECT_EQ(stopped.error().kind, SourceError::Kind::Interrupted);
}

TEST(PlainSource, PassesTheFileInCopyBlocks) {
    test::TempDir dir;
    const std::string content = test::sampleBytes(3 * kCopyBlockSize + 17, 5);
    test::writeFile(dir / "file.bin", content);
    test::StringSink sink;
    auto passed = readPlainFile(dir / "file.bin", sink);
    ASSERT_THAT(passed, Succeeded());
    EXPECT_EQ(*passed, content.size());
    EXPECT_EQ(sink.data, content);
    EXPECT_EQ(sink.blocks, 4u);
    EXPECT_EQ(sink.largestBlock, kCopyBlockSize);
}

TEST(PlainSource, DirectoryMissingFileAndStoppingSinkAreReportedByKind) {
    test::TempDir dir;
    fs::create_directory(dir / "folder");
    test::StringSink sink;
    auto folder = readPlainFile(dir / "folder", sink);
    ASSERT_FALSE(folder);
    EXPECT_EQ(folder.error().kind, SourceError::Kind::Unreadable);
    EXPECT_THAT(folder.error().message, HasSubstr("directory"));
    EXPECT_EQ(readPlainFile(dir / "gone", sink).error().kind, SourceError::Kind::Missing);

    test::writeFile(dir / "file.bin", test::sampleBytes(100000, 6));
    sink.stopAfter = 1;
    auto stopped = readPlainFile(dir / "file.bin", sink);
    ASSERT_FALSE(stopped);
    EXPECT_EQ(stopped.error().kind, SourceError::Kind::Interrupted);
    EXPECT_EQ(sink.blocks, 1u);
}

}  // namespace
}  // namespace kestrel::setup::copy
