#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "TestSupport.h"
#include "platform/ShellLink.h"

namespace kestrel::platform {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

ShellLink fullLink() {
    ShellLink link;
    link.target = "Z:\\home\\me\\kestrel\\WVIEWNT.EXE";
    link.arguments = "-w\"WS17.Sales.Acme\" -n\"ACME_TREE\" -c\"Remote Control\"";
    link.workingDirectory = "Z:\\home\\me\\kestrel";
    link.description = "Remote Control WS17";
    link.iconLocation = "Z:\\home\\me\\kestrel\\rmviewer.ico";
    link.iconIndex = -3;
    link.showCommand = ShowCommand::Maximized;
    link.hotKey = 0x0641;  // Ctrl+Alt+A
    return link;
}

std::uint32_t flagsOf(const Bytes& bytes) {
    return bytes[0x14] | bytes[0x15] << 8 | bytes[0x16] << 16 | std::uint32_t{bytes[0x17]} << 24;
}

class LittleEndian {
  public:
    LittleEndian& u16(unsigned v) {
        bytes.push_back(static_cast<std::uint8_t>(v));
        bytes.push_back(static_cast<std::uint8_t>(v >> 8));
        return *this;
    }
    LittleEndian& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    LittleEndian& text(std::string_view s) {
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    Bytes bytes;
};

// A header as other writers make it, with the given flags.
LittleEndian headerWithFlags(std::uint32_t flags) {
    LittleEndian out;
    out.u32(0x4C);
    out.u32(0x00021401).u16(0).u16(0).text(std::string("\xC0\0\0\0\0\0\0\x46", 8));
    out.u32(flags).u32(0x20);
    for (int i = 0; i < 7; ++i) out.u32(0);         // times and size
    out.u32(2).u32(5).u16(0).u16(0).u32(0).u32(0);  // icon index, show command 5, hot key
    return out;
}

TEST(ShellLink, RoundTripKeepsEveryField) {
    test::TempDir dir;
    ShellLink unicode = fullLink();
    unicode.target = "Z:\\home\\jörg\\Ärger €\\Ω😀.exe";
    unicode.description = "Ünïcode — 😀";
    for (const ShellLink& link : {fullLink(), unicode, ShellLink{}}) {
        const fs::path file = dir / "link.lnk";
        ASSERT_FALSE(writeShellLink(file, link));
        const auto back = readShellLink(file);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(*back, link);
    }
    ShellLink minimal;
    minimal.target = "Z:\\x.exe";
    minimal.showCommand = ShowCommand::MinimizedNoActive;
    EXPECT_EQ(decodeShellLink(encodeShellLink(minimal)), minimal);
}

TEST(ShellLink, PartsArePresentExactlyWhenSet) {
    const Bytes empty = encodeShellLink(ShellLink{});
    EXPECT_EQ(flagsOf(empty), 0x80u);
    EXPECT_EQ(empty.size(), 0x4Cu + 4);  // header and the terminal block only

    ShellLink link;
    link.target = "Z:\\a";
    EXPECT_EQ(flagsOf(encodeShellLink(link)), 0x82u);
    link.arguments = "x";
    EXPECT_EQ(flagsOf(encodeShellLink(link)), 0xA2u);
    EXPECT_EQ(flagsOf(encodeShellLink(fullLink())), 0xF6u);
}

TEST(ShellLink, LnkinfoReadsWhatWeWrite) {
    test::TempDir dir;
    const fs::path file = dir / "WS17.Sales.Acme.lnk";
    ASSERT_FALSE(writeShellLink(file, fullLink()));
    const std::string out = test::lnkinfoOutput(file);
    if (out.empty()) GTEST_SKIP() << "lnkinfo (liblnk-utils) is not available";
    const ShellLink link = fullLink();
    for (const std::string& expected :
         {"Local path\t\t\t: " + link.target, "Command line arguments\t\t: " + link.arguments,
          "Working directory\t\t: " + link.workingDirectory,
          "Description\t\t\t: " + link.description, "Icon location\t\t\t: " + link.iconLocation,
          std::string("Drive type\t\t\t: Fixed")}) {
        EXPECT_NE(out.find(expected), std::string::npos) << expected << "\n" << out;
    }
}

TEST(ShellLink, TargetOutsideLatin1KeepsItsCharactersForLnkinfo) {
    test::TempDir dir;
    ShellLink link;
    link.target = "Z:\\dir €\\Ω.exe";
    ASSERT_FALSE(writeShellLink(dir / "u.lnk", link));
    const std::string out = test::lnkinfoOutput(dir / "u.lnk");
    if (out.empty()) GTEST_SKIP() << "lnkinfo (liblnk-utils) is not available";
    EXPECT_NE(out.find("Z:\\dir €\\Ω.exe"), std::string::npos) << out;
    // The single-byte copy holds '?' where Latin-1 has no character.
    const Bytes bytes = encodeShellLink(link);
    const std::string ansi = "Z:\\dir ?\\?.exe";
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), ansi.begin(), ansi.end()), bytes.end());
}

TEST(ShellLink, ReadsLinksOfOtherWriters) {
    // Target ID list, ANSI strings (with a relative path), a network target and an extra
    // data block behind the strings.
    LittleEndian link = headerWithFlags(0x01 | 0x02 | 0x04 | 0x08 | 0x20);
    link.u16(4).u16(2).u16(0);  // ID list: one empty item and the terminator
    const std::string share = "\\\\SERVER\\APPS";
    const std::string suffix = "Tools\\caf\xE9.exe";
    const std::uint32_t netSize = 0x14 + static_cast<std::uint32_t>(share.size()) + 1;
    const std::uint32_t suffixOffset = 0x1C + netSize;
    link.u32(suffixOffset + static_cast<std::uint32_t>(suffix.size()) + 1)
        .u32(0x1C)
        .u32(0x02)
        .u32(0)
        .u32(0)
        .u32(0x1C)
        .u32(suffixOffset);
    link.u32(netSize).u32(0).u32(0x14).u32(0).u32(0x20000).text(share).text(std::string(1, '\0'));
    link.text(suffix).text(std::string(1, '\0'));
    link.u16(4).text("Desc").u16(6).text("..\\app").u16(3).text("/s ");
    link.u32(8).u32(0xA0000099).u32(0);  // an unknown extra data block, then the terminal one

    const auto read = decodeShellLink(link.bytes);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->target, "\\\\SERVER\\APPS\\Tools\\café.exe");
    EXPECT_EQ(read->description, "Desc");
    EXPECT_EQ(read->arguments, "/s ");
    EXPECT_EQ(read->workingDirectory, "");
    EXPECT_EQ(read->iconIndex, 2);
    EXPECT_EQ(read->showCommand, ShowCommand::Normal);  // 5 is not one of ours
}

TEST(ShellLink, SurrogatePairSplitBetweenBasePathAndSuffixIsOneCharacter) {
    // Unicode link information: the base path ends in the first half of U+1F600 and the
    // suffix holds the second; the target keeps its form when the link is written again.
    LittleEndian link = headerWithFlags(0x02 | 0x80);
    link.u32(0x36).u32(0x24).u32(0x01).u32(0).u32(0).u32(0).u32(0).u32(0x24).u32(0x30);
    for (const char16_t unit : u"C:\\x\xD83D\0\xDE00y") link.u16(unit);

    const auto read = decodeShellLink(link.bytes);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->target, "C:\\x\xF0\x9F\x98\x80y");
    EXPECT_EQ(decodeShellLink(encodeShellLink(*read)), read);
}

TEST(ShellLink, MalformedInputIsRefusedWithoutOverrun) {
    const Bytes good = encodeShellLink(fullLink());
    // Every truncation that cuts into a part.
    for (std::size_t size = 0; size + 4 < good.size(); ++size) {
        EXPECT_EQ(decodeShellLink(Bytes(good.begin(), good.begin() + size)), std::nullopt) << size;
    }
    // Sizes and counts pointing past the end.
    for (const std::size_t at : {std::size_t{0x4C}, std::size_t{0x4C + 4}, std::size_t{0x4C + 16},
                                 std::size_t{0x4C + 24}, std::size_t{0x4C + 28}}) {
        Bytes bad = good;
        bad[at] = bad[at + 1] = 0xFF;
        EXPECT_EQ(decodeShellLink(bad), std::nullopt) << at;
    }
    Bytes noLinkClsid = good;
    noLinkClsid[4] ^= 1;
    EXPECT_EQ(decodeShellLink(noLinkClsid), std::nullopt);

    // Random damage never crashes the reader (the sanitizer build checks the reads).
    std::mt19937 random(1234);
    for (int round = 0; round < 3000; ++round) {
        Bytes bad = good;
        for (int flips = 0; flips < 4; ++flips) {
            bad[0x14 + random() % (bad.size() - 0x14)] = static_cast<std::uint8_t>(random());
        }
        (void)decodeShellLink(bad);
    }
}

TEST(ShellLink, FilesThatAreNoLinks) {
    test::TempDir dir;
    test::writeFile(dir / "text.lnk", "[InternetShortcut]\r\nURL=file:///x\r\n");
    fs::create_directory(dir / "folder.lnk");
    for (const char* name : {"text.lnk", "folder.lnk", "missing.lnk"}) {
        EXPECT_EQ(readShellLink(dir / name), std::nullopt) << name;
    }
}

TEST(ShellLink, TextsTheFormatCannotHoldAreRefused) {
    test::TempDir dir;
    ShellLink tooLong;
    tooLong.target = "Z:\\x";
    tooLong.arguments.assign(65536, 'a');
    EXPECT_TRUE(encodeShellLink(tooLong).empty());
    EXPECT_EQ(writeShellLink(dir / "x.lnk", tooLong), std::errc::value_too_large);
    EXPECT_FALSE(fs::exists(dir / "x.lnk"));
    tooLong.arguments.resize(65535);
    EXPECT_EQ(decodeShellLink(encodeShellLink(tooLong)), tooLong);

    ShellLink nul;
    nul.target = std::string("Z:\\a\0b", 6);
    EXPECT_TRUE(encodeShellLink(nul).empty());
}

}  // namespace
}  // namespace kestrel::platform
