#include <gtest/gtest.h>

#include <map>
#include <string>

#include "copy/FileDestination.h"
#include "copy/FileLineFilter.h"
#include "copy/FileLineParser.h"
#include "messages/MessageStrings.h"

namespace kestrel::setup {
namespace {

using namespace fileflag;

FileLine parsed(std::string_view text) {
    auto line = parseFileLine(text);
    EXPECT_TRUE(line.has_value()) << text;
    return line ? *line : FileLine{};
}

TEST(FileLineFlags, NumbersAndKeywordsOfBothTables) {
    EXPECT_EQ(*parseLineFlags("1"), (LineFlags{kAppend, 0}));
    EXPECT_EQ(*parseLineFlags("EXPAND+RDONLY"), (LineFlags{kExpand, attrflag::kReadOnly}));
    EXPECT_EQ(*parseLineFlags("shared|Hidden) system usefilename dontsetupfromdest"),
              (LineFlags{kShared, attrflag::kHidden | attrflag::kSystem | attrflag::kUseFileName}));
    // Every keyword of the file table is a distinct bit; the largest fills the top bit.
    EXPECT_EQ(parseLineFlags("EXPAND")->file, 0x80000000u);
    EXPECT_EQ(parseLineFlags("4294967295")->file, 0xFFFFFFFFu);
    EXPECT_EQ(*parseLineFlags(""), LineFlags{});
}

TEST(FileLineFlags, UnknownWordRefusesTheWholeField) {
    auto flags = parseLineFlags("EXPAND+RDONLY+SOMETIMES");
    ASSERT_FALSE(flags.has_value());
    EXPECT_EQ(flags.error().message, messages::kIncorrectFlags);
    ASSERT_EQ(flags.error().args.size(), 1u);
    EXPECT_EQ(flags.error().args[0].text(), "EXPAND+RDONLY+SOMETIMES");
    EXPECT_FALSE(parseFileLine("1:a.dll,%System%,BOGUS,10").has_value());
}

TEST(FileLineParser, FiveFieldsAndBothDiskForms) {
    FileLine line = parsed(
        R"line(2:Windows\Fonts\k.ttf,"%Fonts%\k.ttf",SHAREDDLL, 12345 ,"Kestrel Sans (TrueType)")line");
    EXPECT_EQ(line.disk, 2);
    EXPECT_EQ(line.source, "Windows\\Fonts\\k.ttf");
    EXPECT_EQ(line.destination, "%Fonts%\\k.ttf");
    EXPECT_EQ(line.flags.file, kSharedDll);
    EXPECT_EQ(line.size, 12345u);
    EXPECT_EQ(line.extra, "Kestrel Sans (TrueType)");

    // Without a colon the digits give the disk and the name starts after one character.
    line = parsed("1readme.txt,");
    EXPECT_EQ(line.disk, 1);
    EXPECT_EQ(line.source, "readme.txt");
    EXPECT_EQ(line.destination, "");
    EXPECT_EQ(line.size, 0u);
    // Sizes beyond 32 bits are kept whole.
    EXPECT_EQ(parsed("0:big.dat,,,5000000000").size, 5000000000u);
}

TEST(FileLineParser, MissingAndOverLongFieldsAreRefused) {
    EXPECT_EQ(parseFileLine("1:").error().message, messages::kCannotOpenFile);
    EXPECT_EQ(parseFileLine("").error().message, messages::kCannotOpenFile);
    const std::string longName(kMaxLinePath + 1, 'a');
    EXPECT_EQ(parseFileLine("1:" + longName + ",x").error().message, messages::kCannotOpenFile);
    EXPECT_EQ(parseFileLine("1:x," + longName).error().message, messages::kCannotCreateFile);
    EXPECT_TRUE(parseFileLine("1:" + std::string(kMaxLinePath, 'a') + ",x").has_value());
}

TEST(IncludeLineParser, SectionFlagsAndCountMarker) {
    auto include = parseIncludeLine("#Client Files,CLIENT+MACHINE");
    ASSERT_TRUE(include.has_value());
    EXPECT_EQ(include->section, "Client Files");
    EXPECT_FALSE(include->countEachTime);
    EXPECT_EQ(include->flags.file, kClient | kMachine);
    include = parseIncludeLine("#!Shared");
    ASSERT_TRUE(include.has_value());
    EXPECT_EQ(include->section, "Shared");
    EXPECT_TRUE(include->countEachTime);
    EXPECT_EQ(parseIncludeLine("#Files,NOPE").error().message, messages::kIncorrectFlags);
    EXPECT_EQ(parseIncludeLine("#,1").error().message, messages::kSectionNotFound);
}

TEST(EngineFlags, AddedAndRemoved) {
    EXPECT_EQ(withEngineFlags({kSetup, 0}, {}).file, kSetup | kExpand | kDontDelete);
    EXPECT_EQ(withEngineFlags({kRegister16, 0}, {}).file, kRegister16 | kRegister | kSharedDll);
    EXPECT_EQ(withEngineFlags({kService, 0}, {}).file, kService | kSharedDll);
    EXPECT_EQ(withEngineFlags({0, 0}, {.dateWarning = false, .sizeWarning = false}).file,
              kNoDateWarning | kNoSizeWarning);
    EXPECT_EQ(withEngineFlags({kRegister16 | kService, 0}, {.perUserPart = true}).file, 0u);
    EXPECT_EQ(withEngineFlags({0, attrflag::kHidden}, {.systemPlace = true}),
              (LineFlags{kClient | kMachine, attrflag::kHidden}));
}

// One run kind and the lines it uses.
struct FilterCase {
    const char* name;
    FilterContext context;
    std::uint32_t flags;
    LineKind kind;
    bool applies;
};

class FileLineFilterTest : public testing::TestWithParam<FilterCase> {};

TEST_P(FileLineFilterTest, Applies) {
    const FilterCase& c = GetParam();
    EXPECT_EQ(FileLineFilter(c.context).applies(c.flags, c.kind), c.applies) << c.name;
}

constexpr FilterContext kInstall{};
constexpr FilterContext kUninstall{.uninstall = true};
constexpr FilterContext kAdminRun{.admin = true};
constexpr FilterContext kWorkstation{.workstation = true};
constexpr FilterContext kClientRun{.clientOrCD = true};
constexpr FilterContext kWorkstationClient{.workstation = true, .clientOrCD = true};
constexpr FilterContext kPerUser{.perUserPart = true};
constexpr FilterContext kOn95{.nt = false};
constexpr FilterContext kSharedWindows{.sharedWindows = true};
constexpr auto kFile = LineKind::File;
constexpr auto kInclude = LineKind::Include;

INSTANTIATE_TEST_SUITE_P(
    RunKinds, FileLineFilterTest,
    testing::Values(
        FilterCase{"plain line installs", kInstall, 0, kFile, true},
        FilterCase{"DELETE skipped at installation", kInstall, kDelete, kFile, false},
        FilterCase{"DELETE acts at uninstallation", kUninstall, kDelete, kFile, true},
        FilterCase{"DONTDELETE skipped at uninstallation", kUninstall, kDontDelete, kFile, false},
        FilterCase{"DONTDELETE installs", kInstall, kDontDelete, kFile, true},
        FilterCase{"16-bit line, 32-bit installer", kInstall, kWindows16, kFile, false},
        FilterCase{"16 or 32", kInstall, kWindows16 | kWindows32, kFile, true},
        FilterCase{"NT line on 95", kOn95, kNt, kFile, false},
        FilterCase{"DOS line on 95", kOn95, kDos, kFile, true},
        FilterCase{"DOS line on NT", kInstall, kDos, kFile, false},
        FilterCase{"WINDOWS on shared Windows", kSharedWindows, kWindows, kFile, false},
        FilterCase{"SHARED on shared Windows", kSharedWindows, kShared, kFile, true},
        FilterCase{"SHARED on ordinary Windows", kInstall, kShared, kFile, false},
        FilterCase{"WINDOWS+SHARED anywhere", kSharedWindows, kWindows | kShared, kFile, true},
        FilterCase{"ADMIN outside admin", kInstall, kAdmin, kFile, false},
        FilterCase{"admin ignores system flags", kAdminRun, kAdmin | kDos | kWindows16, kFile,
                   true},
        FilterCase{"LOCALAPP in admin", kAdminRun, kLocalApp, kFile, false},
        FilterCase{"LOCALAPP in client run", kClientRun, kLocalApp | kClient, kFile, false},
        FilterCase{"LOCALAPP locally", kInstall, kLocalApp, kFile, true},
        FilterCase{"both, per-user part", kPerUser, kClient | kMachine, kFile, false},
        FilterCase{"both, client run", kClientRun, kClient | kMachine, kFile, true},
        FilterCase{"MACHINE alone outside workstation", kInstall, kMachine, kFile, false},
        FilterCase{"MACHINE alone in workstation", kWorkstation, kMachine, kFile, true},
        FilterCase{"CLIENT alone, workstation client", kWorkstationClient, kClient, kFile, false},
        FilterCase{"CLIENT alone, workstation", kWorkstation, kClient, kFile, true},
        FilterCase{"no CLIENT in client run", kClientRun, 0, kFile, false},
        FilterCase{"CLIENT in client run", kClientRun, kClient, kFile, true},
        FilterCase{"include CLIENT in admin", kAdminRun, kClient | kMachine, kInclude, false},
        FilterCase{"include CLIENT, workstation", kWorkstation, kClient, kInclude, false},
        FilterCase{"include both, workstation", kWorkstation, kClient | kMachine, kInclude, true},
        FilterCase{"include without CLIENT, client run", kClientRun, 0, kInclude, true}));

TEST(FileLineFilterContext, TakenFromTheRunState) {
    RunState state;
    state.fromCD = true;
    state.uninstall = true;
    const FilterContext context = filterContextOf(state, false, true);
    EXPECT_TRUE(context.clientOrCD);
    EXPECT_TRUE(context.uninstall);
    EXPECT_FALSE(context.nt);
    EXPECT_TRUE(context.sharedWindows);
    EXPECT_FALSE(FileLineFilter(context).applies(kDontDelete | kClient, kFile));
}

VariableLookup variables(std::map<std::string, std::string, std::less<>> values) {
    return [values = std::move(values)](std::string_view name) -> std::optional<std::string> {
        const auto found = values.find(name);
        if (found == values.end()) return std::nullopt;
        return found->second;
    };
}

const VariableLookup kMachineDirs =
    variables({{"Windows", "C:\\WINDOWS"},
               {"System", "C:\\WINDOWS\\SYSTEM32"},
               {"Fonts", "C:\\WINDOWS\\FONTS"},
               {"CommonFilesDir", "C:\\Program Files\\Common Files"},
               {"Data", ""}});

TEST(SourcePrefix, RemovedForTheMatchingDestinationOnly) {
    EXPECT_EQ(sourceWithoutPrefix("Windows\\System32\\k.dll", "C:\\WINDOWS\\SYSTEM32\\k.dll",
                                  kMachineDirs, false),
              "k.dll");
    // A System destination lies in Windows too; the longer prefix wins.
    EXPECT_EQ(
        sourceWithoutPrefix("windows\\system\\k.dll", "c:\\windows\\system32", kMachineDirs, false),
        "k.dll");
    EXPECT_EQ(sourceWithoutPrefix("Windows\\win.hlp", "C:\\WINDOWS\\win.hlp", kMachineDirs, false),
              "win.hlp");
    EXPECT_EQ(sourceWithoutPrefix("Common\\c.dll", "C:\\Program Files\\Common Files\\K",
                                  kMachineDirs, false),
              "c.dll");
    // The destination does not match the prefix: the source is kept.
    EXPECT_EQ(sourceWithoutPrefix("Windows\\Fonts\\k.ttf", "C:\\Apps\\k.ttf", kMachineDirs, false),
              "Windows\\Fonts\\k.ttf");
    // An empty variable names no directory.
    EXPECT_EQ(sourceWithoutPrefix("Data\\d.dat", "C:\\Apps\\d.dat", kMachineDirs, false),
              "Data\\d.dat");
    EXPECT_EQ(sourceWithoutPrefix("Windows\\Fonts\\k.ttf", "C:\\WINDOWS\\FONTS\\k.ttf",
                                  kMachineDirs, true),
              "Windows\\Fonts\\k.ttf");
}

TEST(SourcePrefix, SystemPlaces) {
    EXPECT_TRUE(inSystemPlace("C:\\WINDOWS\\k.ini", kMachineDirs));
    EXPECT_TRUE(inSystemPlace("C:\\Program Files\\Common Files\\k.dll", kMachineDirs));
    EXPECT_FALSE(inSystemPlace("C:\\WINDOWS\\Profiles\\ann\\k.ini", kMachineDirs));
    EXPECT_FALSE(inSystemPlace("C:\\Apps\\k.exe", kMachineDirs));
    EXPECT_FALSE(inSystemPlace("C:\\k.exe", variables({{"Windows", ""}})));
}

TEST(FileDestinationTest, RelativeDirectoryAndSetupDestinations) {
    const DestinationPlaces places{"C:\\Apps\\Kestrel", std::nullopt};
    const auto noDirectories = [](const std::string&) { return false; };
    FileLine line = parsed("1:bin\\k.exe,bin\\k.exe");
    EXPECT_EQ(resolveDestination(line, "bin\\k.exe", places, noDirectories),
              "C:\\Apps\\Kestrel\\bin\\k.exe");
    EXPECT_EQ(resolveDestination(line, "D:\\Tools\\k.exe", places, noDirectories),
              "D:\\Tools\\k.exe");
    // Empty or a directory: the source's name as written, or its bare name with USEFILENAME.
    EXPECT_EQ(resolveDestination(line, "", places, noDirectories), "C:\\Apps\\Kestrel\\bin\\k.exe");
    EXPECT_EQ(resolveDestination(line, "\\\\srv\\share\\", places, noDirectories),
              "\\\\srv\\share\\bin\\k.exe");
    line.flags.attributes = attrflag::kUseFileName;
    const auto toolsIsDirectory = [](const std::string& path) { return path == "D:\\Tools"; };
    EXPECT_EQ(resolveDestination(line, "D:\\Tools", places, toolsIsDirectory), "D:\\Tools\\k.exe");

    // SETUP files of an administrator installation go to the setup directory.
    const DestinationPlaces admin{"S:\\Kestrel", "S:\\Kestrel\\Setup"};
    line = parsed("1:setup.exe,%Windows%\\,SETUP");
    EXPECT_EQ(resolveDestination(line, "C:\\WINDOWS\\", admin, noDirectories),
              "S:\\Kestrel\\Setup\\setup.exe");
    EXPECT_EQ(resolveDestination(line, "C:\\WINDOWS\\", places, noDirectories),
              "C:\\WINDOWS\\setup.exe");
}

}  // namespace
}  // namespace kestrel::setup
