// The copy engine's sources against cabinets and compressed files made by the standard tools
// at test time: bytes, member details, and failures that leave the target alone.
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
#include "TestSupport.h"
#include "copy/CabinetSource.h"
#include "copy/CabinetTemplate.h"
#include "copy/LzSource.h"

namespace kestrel::setup::copy {
namespace {

namespace fs = std::filesystem;
using test::FailsWith;
using test::FailsWithText;
using test::Succeeded;
using ::testing::HasSubstr;

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeAll(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Text that compresses but is not one repeated byte, long enough for several data blocks.
std::string sampleBytes(std::size_t size, unsigned seed) {
    std::string bytes;
    unsigned state = seed;
    while (bytes.size() < size) {
        state = state * 1103515245u + 12345u;
        bytes += "line " + std::to_string(state % 1000) + " of the sample\n";
    }
    bytes.resize(size);
    return bytes;
}

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
        writeAll(dir / "in" / "README.TXT", "read me\r\n");
        writeAll(dir / "in" / "Big.Dat", sampleBytes(200000, 1));
        writeAll(dir / "in" / "tool.exe", sampleBytes(70000, 2));
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
        return source->extract(name, dir / "out");
    }

    test::TempDir dir;
    fs::path cabinet;
    const std::time_t readmeStamp = std::time(nullptr) - 400 * 24 * 3600;
};

TEST_P(CabinetSourceTest, ExtractsMembersByNameWithoutRegardToCase) {
    auto source = CabinetSource::open(cabinet);
    ASSERT_THAT(source, Succeeded());
    for (const char* name : {"readme.txt", "BIG.DAT", "Tool.Exe"}) {
        auto member = source->extract(name, dir / "out");
        ASSERT_THAT(member, Succeeded()) << name;
        EXPECT_EQ(readAll(dir / "out"), readAll(dir / "in" / member->name)) << name;
        EXPECT_EQ(member->length, fs::file_size(dir / "in" / member->name));
    }
    EXPECT_FALSE(fs::exists(dir / ("out.part" + std::to_string(::getpid()))));
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

TEST_P(CabinetSourceTest, ExtractsSeveralMembersAndAnswersInRequestOrder) {
    auto source = CabinetSource::open(cabinet);
    ASSERT_THAT(source, Succeeded());
    auto results = source->extract({{"tool.exe", dir / "t"},
                                    {"missing.txt", dir / "m"},
                                    {"README.TXT", dir / "r"},
                                    {"Big.Dat", dir / "b"}});
    ASSERT_EQ(results.size(), 4u);
    EXPECT_THAT(results[0], Succeeded());
    EXPECT_THAT(results[1], FailsWithText(HasSubstr("Cannot find file 'missing.txt'")));
    EXPECT_THAT(results[2], Succeeded());
    EXPECT_THAT(results[3], Succeeded());
    EXPECT_EQ(readAll(dir / "t"), readAll(dir / "in" / "tool.exe"));
    EXPECT_EQ(readAll(dir / "r"), readAll(dir / "in" / "README.TXT"));
    EXPECT_EQ(readAll(dir / "b"), readAll(dir / "in" / "Big.Dat"));
    EXPECT_FALSE(fs::exists(dir / "m"));
}

TEST_P(CabinetSourceTest, MissingCabinetMemberOrTargetFolderIsReportedByKind) {
    auto missing = CabinetSource::open(dir / "Data02.cab");
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().kind, SourceError::Kind::Missing);
    EXPECT_THAT(missing.error().message, HasSubstr("Data02.cab"));

    auto member = extractOne(cabinet, "NOPE.TXT");
    EXPECT_THAT(member,
                FailsWith("Cannot find file 'NOPE.TXT' in cabinet '" + cabinet.string() + "'"));
    EXPECT_EQ(member.error().kind, SourceError::Kind::MemberMissing);
    EXPECT_FALSE(fs::exists(dir / "out"));

    auto source = CabinetSource::open(cabinet);
    ASSERT_THAT(source, Succeeded());
    auto unwritable = source->extract("tool.exe", dir / "no-such-folder" / "tool.exe");
    ASSERT_FALSE(unwritable);
    EXPECT_EQ(unwritable.error().kind, SourceError::Kind::Unwritable);
    EXPECT_THAT(unwritable.error().message, HasSubstr("no-such-folder"));
}

TEST_P(CabinetSourceTest, DamagedCabinetLeavesTheTargetAsItWas) {
    const std::string whole = readAll(cabinet);
    const fs::path truncated = dir / "truncated.cab";
    writeAll(truncated, whole.substr(0, whole.size() / 2));
    std::string garbled = whole;
    // Past the headers the data blocks begin; scrambling them spoils every member after.
    for (std::size_t i = whole.size() / 4; i < whole.size(); i += 7) garbled[i] ^= 0x5a;
    const fs::path corrupt = dir / "corrupt.cab";
    writeAll(corrupt, garbled);

    for (const auto& damaged : {truncated, corrupt}) {
        writeAll(dir / "out", "previous content");
        auto member = extractOne(damaged, "tool.exe");
        ASSERT_FALSE(member) << damaged;
        EXPECT_EQ(member.error().kind, SourceError::Kind::Unreadable) << member.error().message;
        EXPECT_THAT(member.error().message, HasSubstr(damaged.filename().string()));
        EXPECT_EQ(readAll(dir / "out"), "previous content");
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
        original = sampleBytes(50000, 3);
        writeAll(dir / "APP.DLL", original);
        ASSERT_TRUE(run("mscompress '" + (dir / "APP.DLL").string() + "'"));
        compressed = dir / "APP.DLL_";
        ASSERT_LT(fs::file_size(compressed), original.size());
    }

    test::TempDir dir;
    std::string original;
    fs::path compressed;
};

TEST_F(LzSourceTest, ExpandsToTheOriginalBytes) {
    auto expanded = expandLzFile(compressed, dir / "out");
    ASSERT_THAT(expanded, Succeeded());
    EXPECT_EQ(expanded->length, original.size());
    EXPECT_EQ(readAll(dir / "out"), original);
    EXPECT_EQ(expanded->missingChar, std::nullopt);
}

TEST_F(LzSourceTest, GivesTheRecordedLastCharacterOfTheName) {
    std::string bytes = readAll(compressed);
    bytes[9] = 'L';  // the header's place for the character the short name gave up
    writeAll(dir / "APP.DL_", bytes);
    auto expanded = expandLzFile(dir / "APP.DL_", dir / "out");
    ASSERT_THAT(expanded, Succeeded());
    EXPECT_EQ(expanded->missingChar, 'L');
    EXPECT_EQ(lzOriginalName("APP.DL_", expanded->missingChar), "APP.DLL");
    EXPECT_EQ(lzOriginalName("APP.DLL", 'X'), "APP.DLL");
    EXPECT_EQ(lzOriginalName("APP.DL_", std::nullopt), "APP.DL_");
}

TEST_F(LzSourceTest, DamagedOrMissingFileLeavesTheTargetAsItWas) {
    const std::string whole = readAll(compressed);
    writeAll(dir / "short.dl_", whole.substr(0, whole.size() / 2));
    writeAll(dir / "notlz.dl_", "plain text, not compressed");
    writeAll(dir / "out", "previous content");

    // The expander itself ends quietly at the cut; the recorded size must catch it.
    auto truncated = expandLzFile(dir / "short.dl_", dir / "out");
    ASSERT_FALSE(truncated);
    EXPECT_THAT(truncated.error().message, HasSubstr("truncated"));
    EXPECT_EQ(truncated.error().kind, SourceError::Kind::Unreadable);
    EXPECT_THAT(expandLzFile(dir / "notlz.dl_", dir / "out"),
                FailsWithText(HasSubstr("signature")));
    auto missing = expandLzFile(dir / "gone.dl_", dir / "out");
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().kind, SourceError::Kind::Missing);
    EXPECT_EQ(readAll(dir / "out"), "previous content");
}

}  // namespace
}  // namespace kestrel::setup::copy
