#include <gtest/gtest.h>

#include "CopyEngineFixture.h"
#include "components/ComponentListReader.h"
#include "components/ComponentSelection.h"
#include "components/ComponentSizes.h"
#include "components/WorkSection.h"
#include "platform/ProfileFunctions.h"

namespace kestrel::setup::test {
namespace {

class ComponentSizes : public CopyEngineFixture {
  protected:
    ComponentList read() {
        auto list = readComponentList(session_->script(), session_->variables(),
                                      session_->expander(), {}, [](const ScriptProblem&) {});
        EXPECT_TRUE(list.has_value());
        computeSizes(*list, workSectionSizes(*reader_, session_->script(), session_->variables()));
        return std::move(*list);
    }
    int at(const ComponentList& list, std::string_view name) { return list.find(name).value(); }
};

const char* const kSized =
    "[Options]\n"
    "Base=Base,DEFAULT,,\n"
    "Lang=Languages,0,,\n"
    "Lang\\De=German,0,,\n"
    "Lang\\En=English,0,,\n"
    "Extra=Extra,WILDCARD,,\n"
    "Reg=Registry,0,,\n"
    "[OptionGroups]\n"
    "1=Lang\\*\n"
    "[Base]\n"
    "0:a.dll,%App%\\a.dll,,1000\n"
    "0:b.dll,%App%\\b.dll,ADMIN,500\n"  // not in this run
    "#Shared\n"
    "#Shared\n"
    "[Shared]\n"
    "0:s.dll,%App%\\s.dll,,24\n"
    "[Lang\\De]\n"
    "0:de.txt,%App%\\de.txt,,300\n"
    "[Lang\\En]\n"
    "0:en.txt,%App%\\en.txt,,200\n"
    "[%Option%]\n"
    "0:%OptionName%.txt,%App%\\%OptionName%.txt,,7\n"
    "[Reg.reg]\n";

TEST_F(ComponentSizes, OwnSizesComeFromTheFileLinesThatApply) {
    start(kSized);
    const ComponentList list = read();
    EXPECT_EQ(list[at(list, "Base")].ownSize, 1024);  // the include counted once
    EXPECT_EQ(list[at(list, "Extra")].ownSize, 7);    // through [%Option%]
    EXPECT_EQ(list[at(list, "Reg")].ownSize, 0);
    // Only the larger of two alternatives counts.
    EXPECT_EQ(list[at(list, "Lang")].size, 300);
    EXPECT_EQ(list[0].size, 1024 + 300 + 7);
    // Sizing reads without running anything: the meter and the once-per-run includes stay.
    EXPECT_EQ(copier_->meter().total, 0u);
    source("a.dll", std::string(1000, 'a'));
    source("s.dll", std::string(24, 's'));
    ASSERT_TRUE(install("Base"));
    EXPECT_EQ(copier_->meter().total, 1024u);
}

TEST_F(ComponentSizes, CommandLinesAddWhatThePreScanCounts) {
    start("[Options]\nBase=Base,0,,\n[Base]\n0:a.dll,a.dll,,10\nIf 1 Then Big\n[Big]\n");
    std::vector<std::string> scanned;
    reader_->setCommandPreScan([&scanned](const ScriptLine& line, const Expander&) {
        scanned.push_back(line.text);
        return std::uint64_t{5000};
    });
    const ComponentList list = read();
    EXPECT_EQ(list[1].ownSize, 5010);
    EXPECT_EQ(scanned, std::vector<std::string>{"If 1 Then Big"});
}

TEST_F(ComponentSizes, NeededSizesPerModeAndInMaintenance) {
    start(kSized);
    ComponentList list = read();
    EXPECT_EQ(neededSize(list, SetupMode::Full), 1024 + 300 + 7);
    EXPECT_EQ(neededSize(list, SetupMode::Standard), 1024);
    setSelected(list, at(list, "Lang\\En"), true);
    EXPECT_EQ(neededSize(list, SetupMode::Custom), 200);

    // Installed: Base and German; now English instead of German, Base kept.
    for (int i = 1; i < list.size(); ++i) list[i].installed = list[i].selected = false;
    list[at(list, "Base")].installed = list[at(list, "Base")].selected = true;
    list[at(list, "Lang\\De")].installed = true;
    list[at(list, "Lang\\En")].selected = true;
    EXPECT_EQ(neededSize(list, SetupMode::Custom, true), 200 - 300);
}

TEST_F(ComponentSizes, FreeSpaceOfTheDriveBehindTheTarget) {
    start(kSized);
    EXPECT_GT(freeSpace(*machine_, "C:\\Acme\\Deep"), 0);
    EXPECT_EQ(freeSpace(*machine_, "\\\\server\\share\\app"), kUncFreeSpace);
    EXPECT_EQ(freeSpace(*machine_, "Q:\\nowhere"), 0);
    EXPECT_EQ(freeSpace(*machine_, ""), 0);
}

TEST_F(ComponentSizes, TextsUseTheDecimalSeparatorOfWinIni) {
    start(kSized);
    EXPECT_EQ(decimalSeparator(*machine_), ".");
    ASSERT_TRUE(
        platform::writeProfileString(machine_->profileFile("win.ini"), "intl", "sDecimal", ","));
    const std::string decimal = decimalSeparator(*machine_);
    EXPECT_EQ(decimal, ",");
    EXPECT_EQ(modeSizeText(1023, decimal), "1023 Bytes");
    EXPECT_EQ(modeSizeText(1024, decimal), "1 KB");
    EXPECT_EQ(modeSizeText(1048575, decimal), "1024 KB");
    EXPECT_EQ(modeSizeText(3 * 1048576, decimal), "3 MB");
    EXPECT_EQ(pageSizeText(1536, decimal), "2 KB  ");
    // Maintenance frees space: a small amount freed is no "-0 KB".
    EXPECT_EQ(pageSizeText(-300, decimal), "0 KB  ");
    EXPECT_EQ(pageSizeText(-2048, decimal), "-2 KB  ");
    EXPECT_EQ(pageSizeText(1048576 + 104858, decimal), "1,1 MB  ");
}

}  // namespace
}  // namespace kestrel::setup::test
