// Cabinet sets whose members run on from cabinet to cabinet (made by the set writer and checked
// against cabextract), the disk prompts of a set, the numbered cabinets after a disk's own,
// and the product's sources that choose between files and cabinets.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "CabinetSetWriter.h"
#include "ExpectedMatchers.h"
#include "SampleBytes.h"
#include "StringSink.h"
#include "TestSupport.h"
#include "copy/CabinetContinuation.h"
#include "copy/CabinetSet.h"
#include "copy/ProductSources.h"

namespace kestrel::setup::copy {
namespace {

namespace fs = std::filesystem;
using test::CabinetCompression;
using test::CabinetFolder;
using test::Succeeded;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;

class ScriptedDiskPrompt : public DiskPrompt {
  public:
    DiskAnswer askFor(const DiskRequest& request) override {
        asked.push_back(request);
        return answer ? answer(request) : DiskAnswer{DiskAnswer::Kind::Skip, {}};
    }
    std::vector<DiskRequest> asked;
    std::function<DiskAnswer(const DiskRequest&)> answer;
};

class MapDiskLabels : public DiskLabels {
  public:
    std::string label(const std::string& diskName) const override {
        const auto found = labels.find(diskName);
        return found != labels.end() ? found->second : "Disk " + diskName;
    }
    std::map<std::string, std::string> labels;
};

// Three files in a folder of the chosen kind, the middle one over two cabinet ends, and a
// stored folder after it; small cabinets, so the set has several.
std::vector<CabinetFolder> spanningFolders(CabinetCompression compression) {
    return {
        {compression,
         {{"first.txt", test::sampleBytes(30000, 1)},
          {"big.bin", test::sampleBytes(250000, 2)},
          {"after.txt", test::sampleBytes(20000, 3)}}},
        {CabinetCompression::Stored, {{"stored.dat", test::sampleBytes(45000, 4), 0x21}}},
    };
}

std::size_t cabinetDataFor(CabinetCompression compression) {
    // MSZIP packs the sample text tightly; keep cabinets small enough that it still spans.
    return compression == CabinetCompression::Mszip ? 12000 : 70000;
}

class SpanningSetTest : public ::testing::TestWithParam<CabinetCompression> {
  protected:
    void SetUp() override {
        folders = spanningFolders(GetParam());
        test::CabinetSetLayout layout;
        layout.cabinetData = cabinetDataFor(GetParam());
        names = test::writeCabinetSet(dir.path(), folders, layout);
        ASSERT_GE(names.size(), 3u);
    }

    std::string original(const std::string& name) const {
        for (const auto& folder : folders)
            for (const auto& file : folder.files)
                if (file.name == name) return file.data;
        return {};
    }

    void moveAway(const std::string& name) { fs::rename(dir / name, dir / ("away-" + name)); }
    DiskAnswer bringBack(const std::string& name) {
        fs::rename(dir / ("away-" + name), dir / name);
        return {DiskAnswer::Kind::Found, dir / name};
    }

    test::TempDir dir;
    std::vector<CabinetFolder> folders;
    std::vector<std::string> names;
    MapDiskLabels labels;
    ScriptedDiskPrompt prompt;
    CabinetSet set{dir.path(), "Data00.cab", labels, prompt};
};

TEST_P(SpanningSetTest, CabextractReadsEveryMemberOfTheWrittenSet) {
    if (std::system("command -v cabextract >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "cabextract is not installed";
    EXPECT_THAT(membersContinuingToNext(dir / names[0]), ElementsAre("big.bin"));
    ASSERT_EQ(std::system(("cabextract -q -d '" + (dir / "out").string() + "' '" +
                           (dir / names[0]).string() + "' >/dev/null 2>&1")
                              .c_str()),
              0);
    for (const auto& folder : folders)
        for (const auto& file : folder.files)
            EXPECT_EQ(test::readFile(dir / "out" / file.name), file.data) << file.name;
}

TEST_P(SpanningSetTest, ReadsEveryMemberAcrossTheCabinets) {
    for (const char* name : {"first.txt", "big.bin", "after.txt", "stored.dat"}) {
        test::StringSink sink;
        auto found = set.read(1, name, sink);
        ASSERT_THAT(found, Succeeded()) << name;
        EXPECT_EQ(sink.data, original(name)) << name;
        EXPECT_EQ(found->member.length, original(name).size());
        EXPECT_EQ(found->cabinet, dir / names[0]) << "the cabinet of the disk lists it";
    }
    EXPECT_THAT(prompt.asked, IsEmpty());
    test::StringSink sink;
    auto stored = set.read(1, "STORED.DAT", sink);
    ASSERT_THAT(stored, Succeeded());
    EXPECT_EQ(stored->member.attributes, 0x21u);
    EXPECT_EQ(stored->member.year, 2001);
    EXPECT_EQ(stored->member.hour, 4);
}

TEST_P(SpanningSetTest, AsksForTheNextDiskUntilItIsThere) {
    moveAway(names[1]);
    labels.labels["Disk 2"] = "Acme Tools, second disk";
    prompt.answer = [&](const DiskRequest&) {
        // The first answer says Found while the cabinet is still away: asked again.
        if (prompt.asked.size() == 1) return DiskAnswer{DiskAnswer::Kind::Found, dir / names[1]};
        return bringBack(names[1]);
    };
    test::StringSink sink;
    ASSERT_THAT(set.read(1, "big.bin", sink), Succeeded());
    EXPECT_EQ(sink.data, original("big.bin"));
    ASSERT_THAT(prompt.asked, SizeIs(2));
    EXPECT_EQ(prompt.asked[0].label, "Acme Tools, second disk");
    EXPECT_EQ(prompt.asked[0].expected, dir / names[1]);
    EXPECT_FALSE(prompt.asked[0].skipAllowed);
}

TEST_P(SpanningSetTest, CancelAtTheNextDiskCancelsTheInstallation) {
    moveAway(names[1]);
    prompt.answer = [](const DiskRequest&) { return DiskAnswer{DiskAnswer::Kind::Cancel, {}}; };
    test::StringSink sink;
    auto cancelled = set.read(1, "big.bin", sink);
    ASSERT_FALSE(cancelled);
    EXPECT_EQ(cancelled.error().kind, SourceError::Kind::Cancelled);
    EXPECT_TRUE(sink.data.empty()) << "nothing is passed before the set is complete";

    // A run that must not ask (the prompt skips) finds the next cabinet missing.
    prompt.answer = nullptr;
    EXPECT_EQ(set.read(1, "big.bin", sink).error().kind, SourceError::Kind::Missing);
    // Members that end before the missing cabinet are still read.
    ASSERT_THAT(set.read(1, "first.txt", sink), Succeeded());
    EXPECT_EQ(sink.data, original("first.txt"));
}

TEST_P(SpanningSetTest, FindAnswersWithoutTheNextDiskOrData) {
    moveAway(names[1]);
    auto found = set.find(1, "BIG.BIN");
    ASSERT_THAT(found, Succeeded());
    EXPECT_EQ(found->member.length, original("big.bin").size());
    EXPECT_THAT(prompt.asked, IsEmpty());
    EXPECT_EQ(set.find(1, "nothing.txt").error().kind, SourceError::Kind::MemberMissing);
}

TEST_P(SpanningSetTest, SinkThatStopsInTheMiddleOfTheSet) {
    test::StringSink sink;
    sink.stopAfter = 100000;
    auto stopped = set.read(1, "big.bin", sink);
    ASSERT_FALSE(stopped);
    EXPECT_EQ(stopped.error().kind, SourceError::Kind::Interrupted);
    test::StringSink next;
    ASSERT_THAT(set.read(1, "after.txt", next), Succeeded());
    EXPECT_EQ(next.data, original("after.txt"));
}

TEST_P(SpanningSetTest, DamagedNextCabinetIsUnreadable) {
    const std::string whole = test::readFile(dir / names[1]);
    test::writeFile(dir / names[1], whole.substr(0, whole.size() / 2));
    test::StringSink sink;
    auto damaged = set.read(1, "big.bin", sink);
    ASSERT_FALSE(damaged);
    EXPECT_EQ(damaged.error().kind, SourceError::Kind::Unreadable) << damaged.error().message;
}

INSTANTIATE_TEST_SUITE_P(StoredAndMszip, SpanningSetTest,
                         ::testing::Values(CabinetCompression::Stored, CabinetCompression::Mszip),
                         [](const auto& param) {
                             return param.param == CabinetCompression::Mszip ? "Mszip" : "Stored";
                         });

// One cabinet per disk, nothing continued: the numbered search.
class NumberedCabinetsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        writeOne("Data01.cab", "one.txt");
        writeOne("Data02.cab", "two.txt");
        writeOne("Data03.cab", "three.txt");
    }
    void writeOne(const std::string& cabinet, const std::string& member) {
        test::CabinetSetLayout layout;
        layout.cabinetName = [cabinet](int) { return cabinet; };
        test::writeCabinetSet(
            dir.path(), {{CabinetCompression::Mszip, {{member, "content of " + member}}}}, layout);
    }

    test::TempDir dir;
    MapDiskLabels labels;
    ScriptedDiskPrompt prompt;
};

TEST_F(NumberedCabinetsTest, MemberIsFoundInTheNumberedCabinetsAfterTheDisksOwn) {
    CabinetSet set(dir.path(), "Data00.cab", labels, prompt);
    test::StringSink sink;
    auto found = set.read(1, "three.txt", sink);
    ASSERT_THAT(found, Succeeded());
    EXPECT_EQ(sink.data, "content of three.txt");
    EXPECT_EQ(found->cabinet, dir / "Data03.cab");
    EXPECT_THAT(prompt.asked, IsEmpty());
}

TEST_F(NumberedCabinetsTest, MissingNumberedCabinetIsAskedForWithSkip) {
    fs::create_directory(dir / "elsewhere");
    fs::rename(dir / "Data02.cab", dir / "elsewhere" / "Data02.cab");
    labels.labels["2"] = "Second disk";
    // The person points at the other directory; a disk that is not there either is skipped.
    prompt.answer = [&](const DiskRequest& request) {
        const fs::path there = dir / "elsewhere" / request.expected.filename();
        return fs::exists(there) ? DiskAnswer{DiskAnswer::Kind::Found, there}
                                 : DiskAnswer{DiskAnswer::Kind::Skip, {}};
    };
    CabinetSet set(dir.path(), "Data00.cab", labels, prompt);
    test::StringSink sink;
    ASSERT_THAT(set.read(1, "two.txt", sink), Succeeded());
    EXPECT_EQ(sink.data, "content of two.txt");
    ASSERT_THAT(prompt.asked, SizeIs(1));
    EXPECT_EQ(prompt.asked[0].label, "Second disk");
    EXPECT_EQ(prompt.asked[0].expected, dir / "Data02.cab");
    EXPECT_TRUE(prompt.asked[0].skipAllowed);
    // The disks were put elsewhere: the next cabinet is looked for there, while the cabinets
    // already open stay in use.
    auto three = set.find(1, "three.txt");
    ASSERT_FALSE(three);
    EXPECT_EQ(three.error().kind, SourceError::Kind::MemberMissing);
    ASSERT_THAT(prompt.asked, SizeIs(2));
    EXPECT_EQ(prompt.asked[1].expected, dir / "elsewhere" / "Data03.cab");
    EXPECT_THAT(set.find(1, "one.txt"), Succeeded());
}

TEST_F(NumberedCabinetsTest, SkipEndsTheSearchAndTheMemberIsMissing) {
    fs::remove(dir / "Data02.cab");
    CabinetSet set(dir.path(), "Data00.cab", labels, prompt);
    test::StringSink sink;
    auto missing = set.read(1, "three.txt", sink);
    EXPECT_THAT(missing, test::FailsWith("Cannot find file 'three.txt' in cabinet '" +
                                         (dir / "Data01.cab").string() + "'"));
    EXPECT_EQ(missing.error().kind, SourceError::Kind::MemberMissing);
    EXPECT_EQ(missing.error().file, dir / "Data01.cab");
    ASSERT_THAT(prompt.asked, SizeIs(1));
    EXPECT_EQ(prompt.asked[0].label, "Disk 2");
}

TEST_F(NumberedCabinetsTest, TemplateWithoutZerosSearchesItsOneCabinetOnce) {
    fs::copy_file(dir / "Data01.cab", dir / "Product.cab");
    CabinetSet set(dir.path(), "Product.cab", labels, prompt);
    EXPECT_EQ(set.find(3, "two.txt").error().kind, SourceError::Kind::MemberMissing);
    EXPECT_THAT(set.find(3, "one.txt"), Succeeded());
    EXPECT_THAT(prompt.asked, IsEmpty());
}

TEST_F(NumberedCabinetsTest, DiskZeroReadsSetupCabAndAsksForNothing) {
    fs::copy_file(dir / "Data02.cab", dir / "Setup.cab");
    CabinetSet set(dir.path(), "Data00.cab", labels, prompt);
    EXPECT_THAT(set.find(0, "two.txt"), Succeeded());
    EXPECT_EQ(set.find(0, "one.txt").error().kind, SourceError::Kind::MemberMissing);
    fs::remove(dir / "Setup.cab");
    CabinetSet without(dir.path(), "Data00.cab", labels, prompt);
    EXPECT_EQ(without.find(0, "two.txt").error().kind, SourceError::Kind::Missing);
    EXPECT_THAT(prompt.asked, IsEmpty());
}

TEST_F(NumberedCabinetsTest, DisksOwnCabinetMissingIsAskedForAndCancelEnds) {
    fs::remove(dir / "Data01.cab");
    prompt.answer = [](const DiskRequest&) { return DiskAnswer{DiskAnswer::Kind::Cancel, {}}; };
    CabinetSet set(dir.path(), "Data00.cab", labels, prompt);
    EXPECT_EQ(set.find(1, "one.txt").error().kind, SourceError::Kind::Cancelled);
    ASSERT_THAT(prompt.asked, SizeIs(1));
    EXPECT_EQ(prompt.asked[0].expected, dir / "Data01.cab");
}

TEST(CabinetSetSpeed, MembersOfOneFolderReadInOrderInLinearTime) {
    test::TempDir dir;
    CabinetFolder folder{CabinetCompression::Mszip, {}};
    for (int i = 0; i < 5000; ++i)
        folder.files.push_back(
            {"file" + std::to_string(i) + ".txt", test::sampleBytes(400, i + 1)});
    test::CabinetSetLayout layout;
    layout.cabinetData = 1u << 30;
    ASSERT_THAT(test::writeCabinetSet(dir.path(), {folder}, layout), SizeIs(1));

    // The time for the first members and for all of them: reading in order goes on where
    // the member before ended, so ten times the members take about ten times as long; a
    // reader that decompressed the folder from its start for every member would take a
    // hundred times as long.
    const auto timeFor = [&](std::size_t count) {
        MapDiskLabels labels;
        ScriptedDiskPrompt prompt;
        CabinetSet set(dir.path(), "Data00.cab", labels, prompt);
        test::StringSink sink;
        const auto start = std::chrono::steady_clock::now();
        for (std::size_t i = 0; i < count; ++i)
            EXPECT_THAT(set.read(1, folder.files[i].name, sink), Succeeded());
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(sink.data.size(), count * 400u);
        return took;
    };
    const auto tenth = timeFor(500);
    const auto all = timeFor(5000);
    EXPECT_LT(all, 30 * tenth + std::chrono::milliseconds(200));
}

// The product's sources: the file in the source directory first, then the cabinets.
class ProductSourcesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::writeCabinetSet(
            dir.path(),
            {{CabinetCompression::Mszip,
              {{"app.exe", "the program from the cabinet"}, {"readme.txt", "read me"}}}});
    }
    SourceRequest request(const std::string& name) {
        SourceRequest wanted;
        wanted.disk = 1;
        wanted.name = name;
        wanted.path = "D:\\" + name;
        wanted.file = dir / name;
        return wanted;
    }

    test::TempDir dir;
    MapDiskLabels labels;
    ScriptedDiskPrompt prompt;
    CabinetSet set{dir.path(), "Data00.cab", labels, prompt};
    ProductSources sources{set};
    test::StringSink sink;
};

TEST_F(ProductSourcesTest, FileInTheSourceDirectoryComesBeforeTheCabinet) {
    test::writeFile(dir / "app.exe", "the program on its own");
    auto facts = sources.read(request("app.exe"), sink);
    ASSERT_THAT(facts, Succeeded());
    EXPECT_EQ(facts->origin, SourceFacts::Origin::File);
    EXPECT_EQ(sink.data, "the program on its own");
    EXPECT_EQ(facts->length, sink.data.size());

    test::StringSink member;
    auto fromCabinet = sources.read(request("readme.txt"), member);
    ASSERT_THAT(fromCabinet, Succeeded());
    EXPECT_EQ(fromCabinet->origin, SourceFacts::Origin::CabinetMember);
    EXPECT_EQ(fromCabinet->file, dir / "Data01.cab");
    EXPECT_EQ(member.data, "read me");
    ASSERT_TRUE(fromCabinet->member);
    EXPECT_EQ(fromCabinet->member->day, 3);
}

TEST_F(ProductSourcesTest, CabinetsNotAllowedOrDirectoryInThePlace) {
    auto noCabinets = request("readme.txt");
    noCabinets.cabinetAllowed = false;
    EXPECT_EQ(sources.find(noCabinets).error().kind, SourceError::Kind::Missing);
    fs::create_directory(dir / "readme.txt");
    auto directory = sources.read(request("readme.txt"), sink);
    ASSERT_FALSE(directory);
    EXPECT_EQ(directory.error().kind, SourceError::Kind::Unreadable);
    EXPECT_EQ(directory.error().file, dir / "readme.txt");
}

TEST_F(ProductSourcesTest, LzExpansionWhereAllowedAndCalledFor) {
    if (std::system("command -v mscompress >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "mscompress is not installed";
    const std::string content = test::sampleBytes(20000, 9);
    test::writeFile(dir / "lib.dll", content);
    ASSERT_EQ(std::system(("mscompress '" + (dir / "lib.dll").string() + "'").c_str()), 0);
    fs::rename(dir / "lib.dll_", dir / "lib.dl_");
    const std::string packed = test::readFile(dir / "lib.dl_");

    auto wanted = request("lib.dl_");
    // Expansion not allowed: the bytes as they are.
    auto plain = sources.read(wanted, sink);
    ASSERT_THAT(plain, Succeeded());
    EXPECT_EQ(plain->origin, SourceFacts::Origin::File);
    EXPECT_EQ(sink.data, packed);

    // Allowed, and the path is short: expanded.
    wanted.expand = true;
    test::StringSink expanded;
    auto facts = sources.read(wanted, expanded);
    ASSERT_THAT(facts, Succeeded());
    EXPECT_EQ(facts->origin, SourceFacts::Origin::Compressed);
    EXPECT_EQ(expanded.data, content);
    EXPECT_EQ(sources.find(wanted)->length, content.size());

    // A long path is read as it is, unless the file is smaller than expected.
    wanted.path = "D:\\" + std::string(ProductSources::kLzPathLimit, 'x');
    EXPECT_EQ(sources.find(wanted)->origin, SourceFacts::Origin::File);
    wanted.expectedSize = content.size();
    EXPECT_EQ(sources.find(wanted)->origin, SourceFacts::Origin::Compressed);
}

}  // namespace
}  // namespace kestrel::setup::copy
