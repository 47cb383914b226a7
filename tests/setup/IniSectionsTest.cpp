#include "MachineSnapshot.h"
#include "SystemFileFixture.h"
#include "messages/MessageStrings.h"
#include "ops/IniSection.h"
#include "ops/ListValue.h"
#include "ops/SectionFileName.h"
#include "platform/FileAttributes.h"

namespace kestrel::setup::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kHead = "[Setup]\nVersion=5.11\n[Application]\nApplicationDir=C:\\Acme\n";
constexpr const char* kWinIni = "C:\\windows\\win.ini";
constexpr const char* kSystemIni = "C:\\windows\\system.ini";

class IniSections : public SystemFileFixture {
  protected:
    std::optional<PlanStep> section(const char* name) { return readIniSection(context(), name); }
};

TEST(IniSectionNames, PrefixesLetSeveralSectionsShareAFile) {
    EXPECT_EQ(sectionFileName("Acme.ini"), "Acme.ini");
    EXPECT_EQ(sectionFileName("Tools.Acme.ini"), "Acme.ini");
    EXPECT_EQ(sectionFileName("Tools.Acme.ini:Second"), "Acme.ini");
    EXPECT_EQ(sectionFileName("A.b.c.ini"), "b.c.ini");
    EXPECT_EQ(sectionFileName("Ab.ini"), "Ab.ini");
    EXPECT_EQ(sectionFileName("x.Win.ini"), "Win.ini");
}

TEST(ListValues, ItemsComeAndGoWithTheirOwnSeparator) {
    EXPECT_EQ(listWith("a.exe, C:\\x\\b.exe", "C:\\y\\B.EXE", kProgramList), "a.exe, C:\\x\\b.exe");
    EXPECT_EQ(listWith("a.exe", "C:\\Acme\\tray.exe", kProgramList), "a.exe C:\\Acme\\tray.exe");
    EXPECT_EQ(listWithout("a.exe C:\\Acme\\tray.exe", "tray.exe", kProgramList), "a.exe");
    EXPECT_EQ(listWithout("tray.exe,a.exe", "C:\\TRAY.EXE", kProgramList), "a.exe");
    EXPECT_EQ(listWith("  ", "b.exe", kProgramList), "  b.exe");
    EXPECT_TRUE(listEmpty(" , ", kProgramList));
    // A list that ends in its separator gets the item back as it was.
    EXPECT_EQ(listWith("C:\\DOS;", "C:\\Acme", kSemicolonList), "C:\\DOS;;C:\\Acme");
    EXPECT_EQ(listWithout("C:\\DOS;;C:\\Acme", "c:\\acme\\", kSemicolonList), "C:\\DOS;");
    EXPECT_EQ(listWithout("C:\\X;C:\\DOS;C:\\X", "C:\\X", kSemicolonList), "C:\\DOS");
    EXPECT_TRUE(listHas("C:\\DOS; C:\\Acme\\ ", "c:\\ACME", kSemicolonList));
}

TEST_F(IniSections, PrivateFileFromInstallationToNothing) {
    load(std::string(kHead) +
         "[Tools.Acme.ini]\nCaption=Acme settings\nPath=%App%\\Config\n"
         "Settings,Dir,  %App%\\data\nSettings,List,a, b ,c\nSettings,Empty\n-Old,Gone\n"
         "; a comment\n");
    const auto installed = [&] {
        EXPECT_EQ(read("C:\\Acme\\Config\\Acme.ini"),
                  "[Settings]\r\nDir=C:\\Acme\\data\r\nList=a, b ,c\r\nEmpty=\r\n");
    };
    // The last key gone, the section goes, then the empty file and its empty folders.
    EXPECT_TRUE(roundTrip(section("Tools.Acme.ini"), installed));
    EXPECT_FALSE(fs::exists(host("C:\\Acme")));
    EXPECT_EQ(ui_.titles, (std::vector<std::string>{"Acme settings", "", "Acme settings", ""}));
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(IniSections, KeysOfOthersStayAndTheFileKeepsItsBytes) {
    const std::string original = "; mine\n[Settings]\nOwn = 1\n\n[Keep]\nx=y";
    put("C:\\windows\\Acme.ini", original);
    load(std::string(kHead) + "[Acme.ini]\nSettings,Dir,%App%\nNew,Key,v\nKeep,x,z\n");
    const auto installed = [&] {
        EXPECT_EQ(read("C:\\windows\\Acme.ini"),
                  "; mine\n[Settings]\nOwn = 1\nDir=C:\\Acme\n\n[Keep]\nx=z\n\n[New]\nKey=v");
    };
    std::optional<PlanStep> step = section("Acme.ini");
    ASSERT_TRUE(run(step, Direction::Install));
    installed();
    ASSERT_TRUE(run(step, Direction::Uninstall));
    // The key the section changed is gone (it cannot know the old value); all else is back,
    // the file still without a line break at its end.
    EXPECT_EQ(read("C:\\windows\\Acme.ini"), "; mine\n[Settings]\nOwn = 1");
}

TEST_F(IniSections, LoadListGainsTheProgramOnceAndLosesOnlyIt) {
    const std::string original = "[windows]\r\nload=C:\\x\\mon.exe,other.exe\r\nrun=\r\n";
    put(kWinIni, original);
    load(std::string(kHead) +
         "[Win.ini]\nPath=C:\\Elsewhere\nwindows,load,%App%\\tray.exe\nwindows,run,%App%\\go.exe\n"
         "windows,load,C:\\Other\\MON.EXE\n");
    std::optional<PlanStep> step = section("Win.ini");
    ASSERT_TRUE(run(step, Direction::Install));
    ASSERT_TRUE(run(step, Direction::Install));  // a repeated installation
    EXPECT_EQ(read(kWinIni),
              "[windows]\r\nload=C:\\x\\mon.exe,other.exe C:\\Acme\\tray.exe\r\n"
              "run=C:\\Acme\\go.exe\r\n");
    EXPECT_FALSE(context().run.restartComputer);
    ASSERT_TRUE(run(step, Direction::Uninstall));
    // mon.exe was there under another directory: the uninstallation takes it too.
    EXPECT_EQ(read(kWinIni), "[windows]\r\nload=other.exe\r\n");
    EXPECT_FALSE(fs::exists(host("C:\\Elsewhere")));
}

TEST_F(IniSections, SystemIniDevicesDriversAndTheRestart) {
    put(kSystemIni,
        "[boot]\r\ndrivers=mmsystem.dll\r\n[386Enh]\r\ndevice=a.386\r\ndevice=x.386\r\n"
        "device=*vpicd\r\n");
    load(std::string(kHead) +
         "[Comp.System.ini]\n386Enh,device,%App%\\b.386\n386Enh,device,a.386\n"
         "-386Enh,device,X.386\nboot,drivers,%App%\\snd.drv\n");
    std::optional<PlanStep> step = section("Comp.System.ini");
    ASSERT_TRUE(run(step, Direction::Install));
    EXPECT_EQ(read(kSystemIni),
              "[boot]\r\ndrivers=mmsystem.dll C:\\Acme\\snd.drv\r\n[386Enh]\r\ndevice=a.386\r\n"
              "device=*vpicd\r\ndevice=C:\\Acme\\b.386\r\n");
    EXPECT_TRUE(context().run.restartComputer);
    ASSERT_TRUE(run(step, Direction::Uninstall));
    // a.386 was there before and is named by a line that adds it: it goes too.
    EXPECT_EQ(read(kSystemIni), "[boot]\r\ndrivers=mmsystem.dll\r\n[386Enh]\r\ndevice=*vpicd\r\n");
}

TEST_F(IniSections, QuotedLinesAddressFilesOfTheirOwn) {
    put("C:\\windows\\old.ini", "[Sec]\r\nKey=Old\r\nOther=1\r\n");
    load(std::string(kHead) +
         "[Acme.ini]\n\"%App%\\Own.ini\",Sec,,\"Key=Val, with comma\"\n"
         "'old.ini',Sec,Key=Old,Key=New\n");
    const auto installed = [&] {
        EXPECT_EQ(read("C:\\Acme\\Own.ini"), "[Sec]\r\nKey=Val, with comma\r\n");
        EXPECT_EQ(read("C:\\windows\\old.ini"), "[Sec]\r\nOther=1\r\n");
        EXPECT_EQ(read("C:\\windows\\Acme.ini"), "<none>");
    };
    std::optional<PlanStep> step = section("Acme.ini");
    ASSERT_TRUE(run(step, Direction::Install));
    installed();
    ASSERT_TRUE(run(step, Direction::Uninstall));
    EXPECT_EQ(read("C:\\Acme\\Own.ini"), "<none>");
    EXPECT_EQ(read("C:\\windows\\old.ini"), "[Sec]\r\nOther=1\r\n");
}

TEST_F(IniSections, AttributesOfTheFileAreKept) {
    put("C:\\windows\\Locked.ini", "[a]\r\nb=c\r\n");
    const fs::path file = host("C:\\windows\\Locked.ini");
    ASSERT_TRUE(platform::setFileAttributes(
        file, platform::dosattr::kReadOnly | platform::dosattr::kHidden));
    load(std::string(kHead) + "[Locked.ini]\na,new,1\n");
    std::optional<PlanStep> step = section("Locked.ini");
    ASSERT_TRUE(run(step, Direction::Install));
    EXPECT_EQ(read("C:\\windows\\Locked.ini"), "[a]\r\nb=c\r\nnew=1\r\n");
    EXPECT_EQ(platform::fileAttributes(file),
              platform::dosattr::kReadOnly | platform::dosattr::kHidden);
    ASSERT_TRUE(run(step, Direction::Uninstall));
    EXPECT_EQ(read("C:\\windows\\Locked.ini"), "[a]\r\nb=c\r\n");
    EXPECT_EQ(platform::fileAttributes(file),
              platform::dosattr::kReadOnly | platform::dosattr::kHidden);
}

TEST_F(IniSections, AFailedChangeAsksIgnoreOrCancel) {
    // A folder where the file should be, and a link that leads nowhere but to itself.
    fs::create_directories(host("C:\\windows\\Folder.ini") / "inside");
    fs::create_symlink("Loop.ini", host("C:\\windows\\Loop.ini"));
    load(std::string(kHead) +
         "[Folder.ini]\na,b,c\n[Loop.ini]\na,b,c\n[Acme.ini]\nno fields\n,key,value\n"
         "section,,value\nfine,key,1\n\"\",Sec,,Key=Value\n");
    for (const char* name : {"Folder.ini", "Loop.ini"}) {
        ui_.answer({buttons::kCancel});
        std::optional<PlanStep> step = section(name);
        EXPECT_FALSE(run(step, Direction::Install)) << name;
    }
    EXPECT_TRUE(fs::is_directory(host("C:\\windows\\Folder.ini") / "inside"));
    EXPECT_TRUE(fs::is_symlink(host("C:\\windows\\Loop.ini")));

    ui_.answer({buttons::kIgnore, buttons::kIgnore, buttons::kIgnore, buttons::kIgnore});
    std::optional<PlanStep> step = section("Acme.ini");
    EXPECT_TRUE(run(step, Direction::Install));
    EXPECT_EQ(read("C:\\windows\\Acme.ini"), "[fine]\r\nkey=1\r\n");
    EXPECT_EQ(ui_.numbers(), std::vector<int>(6, messages::kCannotModifyIni));
    EXPECT_EQ(ui_.shown.front().box.text, "Cannot modify INI file 'C:\\windows\\Folder.ini'!");

    // The lines that could not be installed are not reported again on the way out.
    ASSERT_TRUE(run(step, Direction::Uninstall));
    EXPECT_EQ(ui_.shown.size(), 6u);
    EXPECT_EQ(read("C:\\windows\\Acme.ini"), "<none>");
}

TEST_F(IniSections, LongLinesAndBinaryGarbageDoNoHarm) {
    const std::string garbage("\x01\xff\x7f,k\x80\x02,v\x00tail\x1a\xfe", 16);
    load(std::string(kHead) + "[Acme.ini]\nSec,Long," + std::string(5000, 'x') + "\n\"" +
         std::string(3000, 'f') + "\",s,,k=v\n" + garbage + "\n");
    ui_.answer({buttons::kIgnore});
    std::optional<PlanStep> step = section("Acme.ini");
    const auto installed = [&] {
        const std::string text = read("C:\\windows\\Acme.ini");
        // Script lines are read up to 255 characters; a zero byte ends a line's text.
        EXPECT_EQ(text, "[Sec]\r\nLong=" + std::string(255 - 9, 'x') +
                            "\r\n\r\n[\x01\xff\x7f]\r\nk\x80\x02=v\r\n");
    };
    EXPECT_TRUE(roundTrip(std::move(step), installed));
    EXPECT_EQ(ui_.numbers(), (std::vector<int>{messages::kCannotModifyIni}));
}

TEST_F(IniSections, UninstallingWithoutTheFileChangesNothing) {
    load(std::string(kHead) + "[Acme.ini]\nSec,Key,1\n");
    const MachineSnapshot before = MachineSnapshot::take(*machine_);
    std::optional<PlanStep> step = section("Acme.ini");
    ASSERT_TRUE(run(step, Direction::Uninstall));
    EXPECT_EQ(before.differencesTo(MachineSnapshot::take(*machine_)), "");
}

TEST_F(IniSections, AMissingSectionIsReported) {
    load(kHead);
    EXPECT_FALSE(section("Nothing.ini"));
    EXPECT_EQ(ui_.numbers(), (std::vector<int>{messages::kSectionNotFound}));
}

}  // namespace
}  // namespace kestrel::setup::test
