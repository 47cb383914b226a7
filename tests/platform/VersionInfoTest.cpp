#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "ExecutableImages.h"
#include "ExpectedMatchers.h"
#include "TestSupport.h"
#include "platform/VersionInfo.h"

namespace kestrel::platform {
namespace {

using kestrel::test::ByteString;
using kestrel::test::FailsWith;
using kestrel::test::Succeeded;

const std::filesystem::path kProducts = KESTREL_SAMPLE_PRODUCTS_DIR;

class SampleFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!std::filesystem::exists(kProducts / "harbor/files/HARBOR.EXE")) {
            GTEST_SKIP() << "sample products not built (no MinGW-w64 cross compiler)";
        }
    }
    static std::filesystem::path variant(const std::string& name) {
        return kProducts / "harbor/variants" / (name + ".dll");
    }
};

constexpr std::uint64_t version(std::uint64_t a, std::uint64_t b, std::uint64_t c,
                                std::uint64_t d) {
    return a << 48 | b << 32 | c << 16 | d;
}

TEST_F(SampleFiles, ProgramHasItsFixedInformationAndStrings) {
    const auto info = VersionInfo::read(kProducts / "harbor/files/HARBOR.EXE");
    ASSERT_THAT(info, Succeeded());
    EXPECT_EQ(info->fixed().fileVersion, version(3, 1, 4, 15));
    EXPECT_EQ(info->fixed().productVersion, version(3, 1, 0, 0));
    EXPECT_EQ(info->fixed().fileOs, 0x40004u);  // VOS_NT_WINDOWS32
    EXPECT_EQ(info->fixed().fileType, 1u);      // VFT_APP
    EXPECT_EQ(info->fixed().fileFlags, 2u);     // VS_FF_PRERELEASE
    ASSERT_EQ(info->translations().size(), 1u);
    EXPECT_EQ(info->translations()[0], (VersionTranslation{0x0409, 1252}));
    const VersionTranslation block = info->defaultTranslation();
    EXPECT_EQ(info->string(block, "FileVersion"), "3.1.4.15");
    EXPECT_EQ(info->string(block, "filedescription"), "Harbor Log");
    EXPECT_EQ(info->string(block, "ProductName"), "Harbor Tools");
    EXPECT_EQ(info->string(block, "Comments"), std::nullopt);
    EXPECT_EQ(info->string({0x0407, 1252}, "FileVersion"), std::nullopt);
}

TEST_F(SampleFiles, LibraryVariantsDifferInVersionLanguageAndSystem) {
    const auto one = VersionInfo::read(variant("harbor-1.0-en"));
    const auto two = VersionInfo::read(variant("harbor-2.0-en"));
    const auto german = VersionInfo::read(variant("harbor-2.0-de"));
    const auto win16 = VersionInfo::read(variant("harbor-2.0-win16"));
    const auto patched = VersionInfo::read(variant("harbor-2.0.0.1-en"));
    for (const auto* info : {&one, &two, &german, &win16, &patched})
        ASSERT_THAT(*info, Succeeded());

    EXPECT_EQ(one->fixed().fileVersion, version(1, 0, 0, 0));
    EXPECT_EQ(two->fixed().fileVersion, version(2, 0, 0, 0));
    EXPECT_EQ(patched->fixed().fileVersion, version(2, 0, 0, 1));
    EXPECT_EQ(patched->string(patched->defaultTranslation(), "FileVersion"), "2.0");
    EXPECT_EQ(two->fixed().fileType, 2u);  // VFT_DLL
    EXPECT_EQ(two->fixed().fileOs, FixedFileInfo::kOsWindows32);
    EXPECT_EQ(win16->fixed().fileOs, FixedFileInfo::kOsWindows16);

    EXPECT_EQ(german->defaultTranslation(), (VersionTranslation{0x0407, 1252}));
    EXPECT_EQ(german->string(german->defaultTranslation(), "FileDescription"), "Harbor library");
    ASSERT_EQ(german->stringTables().size(), 1u);
    EXPECT_EQ(german->stringTables()[0].name, "040704E4");
}

TEST_F(SampleFiles, FilesThatAreNoProgramsHaveNoVersionInformation) {
    EXPECT_THAT(VersionInfo::read(kProducts / "harbor/files/README.TXT"),
                FailsWith("not a Windows program or library"));
    EXPECT_THAT(VersionInfo::read(kProducts / "harbor/files/DejaVuSans.ttf"),
                FailsWith("not a Windows program or library"));
    EXPECT_FALSE(VersionInfo::read(kProducts / "harbor/missing.dll").has_value());
}

ByteString fileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    ByteString out;
    for (std::istreambuf_iterator<char> it(in), end; it != end; ++it) out.push_back(std::byte(*it));
    return out;
}

void writeBytes(const std::filesystem::path& file, const ByteString& bytes, std::size_t count) {
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(count));
}

// Every cut of a real library reads as a whole resource or as none, never beyond the
// file (the sanitizers watch the reads).
TEST_F(SampleFiles, TruncatedFilesGiveNoVersionInformation) {
    const ByteString whole = fileBytes(variant("harbor-2.0-en"));
    kestrel::test::TempDir dir;
    const auto cut = dir / "cut.dll";
    int failed = 0;
    for (std::size_t length = 0; length < whole.size(); length += 97) {
        writeBytes(cut, whole, length);
        const auto info = VersionInfo::read(cut);
        if (!info) {
            ++failed;
        } else {
            EXPECT_EQ(info->fixed().fileVersion, version(2, 0, 0, 0));
        }
    }
    EXPECT_GT(failed, 0);
}

// The resource as the compiler wrote it: from its root node to its length.
ByteString resourceOf(const ByteString& file) {
    const ByteString key = kestrel::test::versionText("VS_VERSION_INFO", true);
    const auto found = std::search(file.begin(), file.end(), key.begin(), key.end());
    if (found == file.end()) return {};
    const auto start = static_cast<std::size_t>(found - file.begin()) - 6;
    const std::size_t length = std::to_integer<std::size_t>(file[start]) |
                               std::to_integer<std::size_t>(file[start + 1]) << 8;
    return ByteString(file.begin() + static_cast<std::ptrdiff_t>(start),
                      file.begin() + static_cast<std::ptrdiff_t>(start + length));
}

TEST_F(SampleFiles, CorruptResourcesNeverReadPastTheirBytes) {
    const ByteString resource = resourceOf(fileBytes(variant("harbor-2.0-de")));
    ASSERT_FALSE(resource.empty());
    ASSERT_THAT(VersionInfo::parse(resource), Succeeded());
    for (std::size_t at = 0; at < resource.size(); ++at) {
        for (std::byte bad : {std::byte{0x00}, std::byte{0xFF}, std::byte{0x7F}}) {
            ByteString broken = resource;
            broken[at] = bad;
            // Any answer will do, as long as it stays inside the bytes.
            (void)VersionInfo::parse(broken);
            (void)VersionInfo::parse(std::span(broken).first(at));
        }
    }
    EXPECT_THAT(VersionInfo::parse({}), FailsWith("corrupt version resource"));
}

ByteString sampleResource(bool wide, std::uint32_t fileOs) {
    using kestrel::test::versionNode;
    using kestrel::test::versionText;
    const ByteString strings = versionNode(
        "StringFileInfo", {}, false,
        {versionNode(
            "040704E4", {}, false,
            {versionNode("FileVersion", versionText("4.5", wide), true, {}, wide),
             versionNode("FileDescription", versionText("Hafen \xE4", wide), true, {}, wide)},
            wide)},
        wide);
    const ByteString translation = {std::byte{0x07}, std::byte{0x04}, std::byte{0xE4},
                                    std::byte{0x04}};
    const ByteString vars = versionNode(
        "VarFileInfo", {}, false, {versionNode("Translation", translation, false, {}, wide)}, wide);
    return versionNode("VS_VERSION_INFO", kestrel::test::fixedFileInfo(version(4, 5, 0, 0), fileOs),
                       false, {strings, vars}, wide);
}

class BuiltImages : public ::testing::Test {
  protected:
    VersionInfo read(const ByteString& image) {
        const auto file = dir_ / "image.exe";
        writeBytes(file, image, image.size());
        auto info = VersionInfo::read(file);
        EXPECT_THAT(info, Succeeded());
        return info ? *info : VersionInfo{};
    }
    kestrel::test::TempDir dir_;
};

TEST_F(BuiltImages, SixtyFourBitAndThirtyTwoBitImagesReadAlike) {
    for (bool pe64 : {false, true}) {
        const VersionInfo info =
            read(kestrel::test::portableExecutable(sampleResource(true, 4), pe64));
        EXPECT_EQ(info.fixed().fileVersion, version(4, 5, 0, 0)) << pe64;
        EXPECT_EQ(info.defaultTranslation(), (VersionTranslation{0x0407, 1252}));
        // UTF-16 in the file, UTF-8 here.
        EXPECT_EQ(info.string({0x0407, 1252}, "FileDescription"), "Hafen \u00E4");
    }
}

TEST_F(BuiltImages, SixteenBitImagesKeepSingleByteText) {
    const VersionInfo info = read(kestrel::test::newExecutable(sampleResource(false, 1)));
    EXPECT_EQ(info.fixed().fileOs, FixedFileInfo::kOsWindows16);
    EXPECT_EQ(info.fixed().fileVersion, version(4, 5, 0, 0));
    EXPECT_EQ(info.string({0x0407, 1252}, "FileVersion"), "4.5");
    EXPECT_EQ(info.string({0x0407, 1252}, "FileDescription"), "Hafen \u00E4");
}

TEST_F(BuiltImages, ImagesWithoutVersionResourceSaySo) {
    ByteString image = kestrel::test::portableExecutable(sampleResource(true, 4), false);
    const auto file = dir_ / "other.exe";
    // Resource type 16 becomes type 3 (an icon).
    image[0x200 + 16] = std::byte{3};
    writeBytes(file, image, image.size());
    EXPECT_THAT(VersionInfo::read(file), FailsWith("no version resource"));
}

// Every header, section, directory and table byte damaged in turn (the resource itself is
// damaged above): the reader may find the resource or not, but never reads outside the file
// (the sanitizers watch).
TEST_F(BuiltImages, DamagedHeadersAndTablesNeverReadOutsideTheFile) {
    const auto file = dir_ / "damaged.exe";
    const std::pair<ByteString, std::size_t> images[] = {
        {kestrel::test::portableExecutable(sampleResource(true, 4), true), 0x200 + 88},
        {kestrel::test::newExecutable(sampleResource(false, 1)), 0x100}};
    for (const auto& [image, tablesEnd] : images) {
        for (std::size_t at = 0; at < tablesEnd; ++at) {
            ByteString damaged = image;
            damaged[at] = ~damaged[at];
            writeBytes(file, damaged, damaged.size());
            (void)VersionInfo::read(file);
        }
    }
}

TEST(VersionText, ShowsFourPartsWithTwoDigits) {
    EXPECT_EQ(versionText(version(3, 1, 4, 15)), "3.01.04.15");
    EXPECT_EQ(versionText(version(10, 0, 19041, 1)), "10.00.19041.01");
}

}  // namespace
}  // namespace kestrel::platform
