#include <gtest/gtest.h>

#include <cstring>

#include "components/ComponentListReader.h"
#include "components/ComponentRecord.h"
#include "components/ComponentSelection.h"
#include "components/InitialSelection.h"
#include "messages/MessageStrings.h"

namespace kestrel::setup {
namespace {

using namespace componentflag;

// Reads the component sections of a script as the installer does.
class Components : public ::testing::Test {
  protected:
    platform::Expected<ComponentList, ScriptProblem> read(const std::string& text,
                                                          ComponentReading reading = {}) {
        script_.emplace(ScriptText::fromText(text, "Setup.inf"));
        warnings_.clear();
        return readComponentList(*script_, variables_, expander_, reading,
                                 [this](const ScriptProblem& problem) {
                                     warnings_.push_back(problem.args.at(0).text());
                                 });
    }
    ComponentList list(const std::string& text) {
        auto read = this->read(text);
        EXPECT_TRUE(read.has_value());
        return read ? std::move(*read) : ComponentList();
    }
    int at(const ComponentList& list, std::string_view name) { return list.find(name).value(); }
    bool selected(const ComponentList& list, std::string_view name) {
        return list[at(list, name)].selected;
    }

    MemoryEnvironment environment_;
    BuiltinVariables variables_;
    Expander expander_{{&variables_, &environment_, nullptr, nullptr}};
    std::optional<ScriptText> script_;
    std::vector<std::string> warnings_;
};

TEST_F(Components, CopyComesFirstAndTheTreeFollowsTheNames) {
    const ComponentList list = this->list(
        "[Options]\nTools=Tools,DEFAULT,,All the tools\nTools\\Viewer=Viewer,0,,Looks\\nat it\n"
        "Docs=Docs,HIDDEN|DEFAULT,,\n[Copy]\nBase=Base files,NORMAL,,\n");
    ASSERT_EQ(list.size(), 5);
    EXPECT_EQ(list[1].name, "Base");
    EXPECT_EQ(list[1].flags, kCopyAlways);
    EXPECT_EQ(list.children(0), (std::vector<int>{1, 2, 4}));
    const int viewer = at(list, "tools\\VIEWER");
    EXPECT_EQ(list[viewer].parent, 2);
    EXPECT_EQ(list[viewer].level, 2);
    EXPECT_EQ(list[viewer].lastName(), "Viewer");
    EXPECT_EQ(list[viewer].description, "Looks\r\nat it");
    EXPECT_EQ(list[4].flags, kHidden | kDefault);
    EXPECT_EQ(list[2].nextSibling, 4);
    EXPECT_EQ(list[4].previousSibling, 2);
    EXPECT_EQ(list.treeOrder(), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(Components, TheIconFieldComesWithVersionFiveTen) {
    const std::string text =
        "[Icons]\nBook=book.ico\nTool=tool.ico\n[Options]\nTools=Tools,DEFAULT,Tool,Described\n";
    auto newer = read(text, {0x510});
    ASSERT_TRUE(newer.has_value());
    EXPECT_EQ((*newer)[1].icon, 1);
    EXPECT_EQ((*newer)[1].description, "Described");
    auto older = read(text, {0x500});
    ASSERT_TRUE(older.has_value());
    EXPECT_EQ((*older)[1].icon, kNoComponent);
    EXPECT_EQ((*older)[1].description, "Tool");
}

TEST_F(Components, EachLineSeesItsOwnOptionVariables) {
    environment_.set("TOOLS_TEXT", "The tools");
    const ComponentList list = this->list(
        "[Options]\nTools=%TOOLS_TEXT%,0,,About %OptionText%\n"
        "Tools\\Viewer=%OptionName% of %Option%,0,,\n");
    EXPECT_EQ(list[1].text, "The tools");
    EXPECT_EQ(list[1].description, "About The tools");
    EXPECT_EQ(list[2].text, "Viewer of Tools\\Viewer");
}

TEST_F(Components, AParentListedLaterOrAnUnknownFlagEndsTheReading) {
    auto late = read("[Options]\nTools\\Viewer=Viewer,0,,\nTools=Tools,0,,\n");
    ASSERT_FALSE(late.has_value());
    EXPECT_EQ(late.error().message, 5533);
    auto flags = read("[Options]\nTools=Tools,DEFAULT|SOMETIMES,,\n");
    ASSERT_FALSE(flags.has_value());
    EXPECT_EQ(flags.error().message, messages::kIncorrectFlags);
    EXPECT_EQ(flags.error().args.at(0).text(), "SOMETIMES");
}

TEST_F(Components, UnknownNamesInDependenciesAndGroupsOnlyWarn) {
    const std::string text =
        "[Options]\nA=A,0,,\nB=B,0,,\n[OptionDependencies]\nA=B,Nowhere\nGhost=A\n"
        "[OptionGroups]\nA,Phantom\n";
    const ComponentList list = this->list(text);
    EXPECT_EQ(list[1].dependencies, std::vector<int>{2});
    EXPECT_EQ(list[1].group, 0);
    EXPECT_EQ(warnings_, (std::vector<std::string>{"Nowhere", "Ghost", "Phantom"}));

    ComponentReading client;
    client.clientRun = true;
    ASSERT_TRUE(read(text, client).has_value());
    EXPECT_EQ(warnings_, std::vector<std::string>{"Phantom"});
}

TEST_F(Components, GroupsTakeKindsFromTheLineBeforeAndAllChildrenWithAStar) {
    const ComponentList list = this->list(
        "[Options]\nLang=Languages,0,,\nLang\\De=German,0,,\nLang\\En=English,0,,\n"
        "X=X,0,,\nY=Y,0,,\nZ=Z,0,,\n[OptionGroups]\n1 = Lang\\*\nX,Y\n0=Z,X\n");
    EXPECT_EQ(list[at(list, "Lang\\De")].group, 0);
    EXPECT_EQ(list[at(list, "Lang\\En")].groupKind, 1);
    EXPECT_EQ(list[at(list, "Lang")].group, kNoComponent);
    EXPECT_EQ(list[at(list, "X")].group, 1);  // the first group that names it
    EXPECT_EQ(list[at(list, "Y")].groupKind, 1);
    EXPECT_EQ(list[at(list, "Z")].group, 2);
    EXPECT_EQ(list[at(list, "Z")].groupKind, 0);

    ComponentReading admin;
    admin.readGroups = false;
    auto read = this->read("[Options]\nX=X,0,,\n[OptionGroups]\nX\n", admin);
    EXPECT_EQ((*read)[1].group, kNoComponent);
}

TEST_F(Components, TheRecordKeepsItsFixedLayout) {
    ComponentList list = this->list(
        "[Options]\nTools=Tools,DEFAULT,,About\nTools\\Viewer=Viewer,0,,\nB=B,0,,\n"
        "[OptionDependencies]\nTools=B\n[OptionGroups]\n1=Tools\n");
    Component& tools = list[1];
    tools.size = 4096;
    tools.selected = true;
    tools.name = std::string(300, 'n');  // longer than the field: cut with its zero
    const ComponentRecord record = componentRecord(tools, 0x10203040);
    const auto number = [&record](std::size_t offset) {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i) value = (value << 8) | record[offset + i];
        return value;
    };
    EXPECT_EQ(record.size(), 832u);
    EXPECT_EQ(record[254], 'n');
    EXPECT_EQ(record[255], 0);
    EXPECT_EQ(std::memcmp(&record[256], "Tools", 6), 0);
    EXPECT_EQ(std::memcmp(&record[512], "About", 6), 0);
    EXPECT_EQ(number(768), kDefault);     // flags
    EXPECT_EQ(number(772), 0xFFFFFFFFu);  // no icon
    EXPECT_EQ(number(776), 4096u);
    EXPECT_EQ(number(780), 0u);  // parent: the root
    EXPECT_EQ(number(784), 2u);  // first child
    EXPECT_EQ(number(788), 2u);  // last child
    EXPECT_EQ(number(792), 3u);  // next sibling
    EXPECT_EQ(number(796), 0xFFFFFFFFu);
    EXPECT_EQ(number(800), 1u);  // level
    EXPECT_EQ(number(804), 0u);  // group
    EXPECT_EQ(number(808), 1u);  // its kind
    EXPECT_EQ(number(812), 1u);  // selected
    EXPECT_EQ(number(816), 0u);
    EXPECT_EQ(number(820), 0u);
    EXPECT_EQ(number(824), 1u);  // one dependency
    EXPECT_EQ(number(828), 0x10203040u);
    EXPECT_EQ(dependencyListBytes(tools), (std::vector<std::uint8_t>{3, 0, 0, 0}));
}

// A product with a group of alternatives, dependencies and a hidden component.
const char* const kProduct =
    "[Options]\n"
    "Base=Base,DEFAULT,,\n"
    "Tools=Tools,0,,\n"
    "Tools\\Viewer=Viewer,0,,\n"
    "Tools\\Editor=Editor,0,,\n"
    "Lang=Languages,DEFAULT,,\n"
    "Lang\\De=German,0,,\n"
    "Lang\\En=English,0,,\n"
    "Help=Help,0,,\n"
    "Secret=Secret,HIDDEN,,\n"
    "[OptionDependencies]\n"
    "Tools\\Editor=Help\n"
    "Tools=Base\n"
    "[OptionGroups]\n"
    "1 = Lang\\*\n"
    "0 = Tools\\*\n";

TEST_F(Components, SelectingBringsDependenciesOfItselfAndItsAncestors) {
    ComponentList list = this->list(kProduct);
    setSelected(list, at(list, "Tools\\Viewer"), true);
    EXPECT_TRUE(selected(list, "Tools\\Viewer"));
    EXPECT_TRUE(selected(list, "Base"));    // a dependency of the parent
    EXPECT_FALSE(selected(list, "Tools"));  // the ancestor itself stays as it was
    EXPECT_FALSE(selected(list, "Help"));
}

TEST_F(Components, DeselectingCascadesAndReselectingDoesNotUndoIt) {
    ComponentList list = this->list(kProduct);
    setSelected(list, at(list, "Tools\\Editor"), true);
    ASSERT_TRUE(selected(list, "Help"));
    setSelected(list, at(list, "Help"), false);
    EXPECT_FALSE(selected(list, "Tools\\Editor"));
    setSelected(list, at(list, "Help"), true);
    EXPECT_TRUE(selected(list, "Help"));
    EXPECT_FALSE(selected(list, "Tools\\Editor"));
}

TEST_F(Components, AParentOfTwoGroupMembersEndsWithTheFirstOneSelected) {
    ComponentList list = this->list(kProduct);
    setSelected(list, at(list, "Lang"), true);
    EXPECT_TRUE(selected(list, "Lang\\De"));
    EXPECT_FALSE(selected(list, "Lang\\En"));
    setSelected(list, at(list, "Lang\\En"), true);
    EXPECT_FALSE(selected(list, "Lang\\De"));
    EXPECT_EQ(groupSiblings(list, at(list, "Lang\\De")),
              (std::vector<int>{at(list, "Lang\\De"), at(list, "Lang\\En")}));
}

TEST_F(Components, DependencyCirclesEnd) {
    ComponentList list =
        this->list("[Options]\nA=A,0,,\nB=B,0,,\nC=C,0,,\n[OptionDependencies]\nA=B\nB=C\nC=A\n");
    setSelected(list, 1, true);
    EXPECT_TRUE(list[1].selected && list[2].selected && list[3].selected);
    setSelected(list, 2, false);
    EXPECT_FALSE(list[1].selected || list[2].selected || list[3].selected);
}

TEST_F(Components, CheckStatesLookAtTheOfferedChildrenOnly) {
    ComponentList list = this->list(
        "[Options]\nT=T,0,,\nT\\A=A,0,,\nT\\B=B,0,,\nT\\H=H,HIDDEN,,\n[Copy]\nT2=T2,0,,\n");
    const int t = at(list, "T");
    EXPECT_EQ(checkState(list, t), CheckState::Unchecked);
    setSelected(list, t, true);
    list[at(list, "T\\H")].selected = false;
    EXPECT_EQ(checkState(list, t), CheckState::Checked);
    setSelected(list, at(list, "T\\B"), false);
    EXPECT_EQ(checkState(list, t), CheckState::Partly);
}

TEST_F(Components, ModesLeaveHiddenComponentsAlone) {
    ComponentList list = this->list(kProduct);
    const int secret = at(list, "Secret");
    applyMode(list, SetupMode::Full);
    EXPECT_TRUE(selected(list, "Help"));
    EXPECT_FALSE(list[secret].selected);
    list[secret].selected = true;
    applyMode(list, SetupMode::Standard);
    EXPECT_TRUE(list[secret].selected);
    EXPECT_TRUE(selected(list, "Base"));
    EXPECT_FALSE(selected(list, "Help"));
    setSelected(list, at(list, "Help"), true);
    applyMode(list, SetupMode::Custom);
    EXPECT_TRUE(selected(list, "Help"));
}

TEST_F(Components, ModesBringDependenciesAndChooseOneAlternative) {
    std::string text = kProduct;
    text.insert(text.find("Tools=Base\n"), "Base=Help\n");
    ComponentList list = this->list(text);
    applyMode(list, SetupMode::Full);
    EXPECT_TRUE(selected(list, "Lang\\De"));
    EXPECT_FALSE(selected(list, "Lang\\En"));
    EXPECT_TRUE(selected(list, "Tools\\Viewer"));
    EXPECT_FALSE(selected(list, "Tools\\Editor"));
    applyMode(list, SetupMode::Standard);
    EXPECT_TRUE(selected(list, "Help"));  // Base needs it
    EXPECT_FALSE(selected(list, "Tools"));
}

TEST_F(Components, TheOptionsPresetTakesItsFirstCharacterAsTheSign) {
    ComponentList list = this->list(
        "[Options]\nBase=B,DEFAULT,,\nDocs=D,DEFAULT,,\nTools=T,0,,\n"
        "Tools\\X=X,0,,\nase=a,DEFAULT,,\n");
    applyInitialSelection(list, {});
    applyOptionsPreset(list, "+Base-Docs+tools\\x");
    EXPECT_TRUE(selected(list, "Base"));
    EXPECT_FALSE(selected(list, "Docs"));
    EXPECT_TRUE(selected(list, "Tools\\X"));
    EXPECT_TRUE(selected(list, "Tools"));  // marked for its selected child
    applyOptionsPreset(list, "Base+Nothing");
    EXPECT_TRUE(selected(list, "Base"));
    EXPECT_FALSE(selected(list, "ase"));
}

TEST_F(Components, TheFirstSelectionFollowsTheRunAndTheRecords) {
    ComponentList list = this->list(kProduct);
    applyInitialSelection(list, {});
    EXPECT_TRUE(selected(list, "Base"));
    EXPECT_TRUE(selected(list, "Lang\\De"));  // a kind-1 group keeps one member
    EXPECT_FALSE(selected(list, "Lang\\En"));
    EXPECT_FALSE(selected(list, "Help"));

    // A group of alternatives under a component that is not chosen stays empty.
    list[at(list, "Lang")].selected = false;
    list[at(list, "Lang\\De")].selected = false;
    settleDependenciesAndGroups(list);
    EXPECT_FALSE(selected(list, "Lang\\De"));

    ComponentList all = this->list(kProduct);
    applyInitialSelection(all, {true, {}, {}});
    EXPECT_TRUE(selected(all, "Help"));
    EXPECT_TRUE(selected(all, "Tools\\Viewer"));
    EXPECT_FALSE(selected(all, "Tools\\Editor"));  // one member of a group at most

    ComponentList recorded = this->list(kProduct);
    SelectionStart maintenance;
    maintenance.recorded = [](std::string_view name) -> std::optional<std::string> {
        if (name == "Help") return "1";
        if (name == "Base") return "0";
        return std::nullopt;
    };
    applyInitialSelection(recorded, maintenance);
    EXPECT_TRUE(selected(recorded, "Help"));
    EXPECT_TRUE(recorded[at(recorded, "Help")].installed);
    EXPECT_TRUE(recorded[at(recorded, "Help")].has(kDefault));
    EXPECT_FALSE(selected(recorded, "Base"));
    EXPECT_FALSE(recorded[at(recorded, "Base")].installed);

    ComponentList user = this->list(kProduct);
    SelectionStart perUser;
    perUser.machineRecorded = [](std::string_view name) -> std::optional<std::string> {
        return name == "Base" ? "1" : "0";
    };
    applyInitialSelection(user, perUser);
    EXPECT_TRUE(selected(user, "Base"));
    EXPECT_TRUE(user[at(user, "Help")].has(kHidden));
    EXPECT_FALSE(selected(user, "Help"));
}

}  // namespace
}  // namespace kestrel::setup
