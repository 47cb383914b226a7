#include <gtest/gtest.h>

#include "CopyEngineFixture.h"
#include "MachineSnapshot.h"
#include "components/ComponentListBuild.h"
#include "components/ComponentSelection.h"
#include "components/SectionDispatch.h"
#include "components/WorkList.h"
#include "messages/MessageStrings.h"

namespace kestrel::setup::test {
namespace {

using platform::RegistryRoot;

const char* const kWork =
    "MachineKeyName=Acme\n"
    "UserKeyName=Acme\\%Option%\n"
    "[Options]\n"
    "Base=Base,DEFAULT,,\n"
    "Tools=Tools,DEFAULT,,\n"
    "Tools\\A=A,DEFAULT,,\n"
    "Tools\\B=B,0,,\n"
    "Docs=Docs,0,,\n"
    "[UserKeyNames]\n"
    "Docs=Acme\\Manuals\n"
    "[Base]\n[Tools\\A]\n[Tools\\B]\n[Docs]\n";

class WorkLists : public CopyEngineFixture {
  protected:
    ComponentList build() {
        auto list = buildComponentList(context(), 0x511, false,
                                       [](const ComponentList&, int) { return std::int64_t{0}; });
        EXPECT_TRUE(list.has_value());
        return list ? std::move(*list) : ComponentList();
    }
    // Records the sections it is given, with the Option variable at that moment.
    SectionProcessor recorder() {
        return [this](std::string_view section, Direction direction) {
            calls_.push_back((direction == Direction::Install ? "+" : "-") + std::string(section) +
                             "=" + session_->variables().value("Option"));
            return true;
        };
    }
    std::string option(std::string_view name) {
        return value(RegistryRoot::LocalMachine, "Software\\Acme\\Setup\\Options", name);
    }
    int at(const ComponentList& list, std::string_view name) { return list.find(name).value(); }

    std::vector<std::string> calls_;
};

TEST_F(WorkLists, InstallWalksParentsFirstAndUninstallChildrenLastToFirst) {
    start(kWork);
    ComponentList list = build();
    setSelected(list, at(list, "Tools\\B"), true);
    ASSERT_TRUE(WorkList(context(), list, recorder()).install());
    EXPECT_EQ(calls_,
              (std::vector<std::string>{"+Base=Base", "+Tools\\A=Tools\\A", "+Tools\\B=Tools\\B"}));
    EXPECT_EQ(option("Base"), "1");
    EXPECT_EQ(option("Tools"), "1");  // no section of its own, but children
    EXPECT_EQ(option("Docs"), "<none>");

    calls_.clear();
    ASSERT_TRUE(WorkList(context(), list, recorder()).uninstall());
    EXPECT_EQ(calls_,
              (std::vector<std::string>{"-Tools\\B=Tools\\B", "-Tools\\A=Tools\\A", "-Base=Base"}));
    EXPECT_EQ(option("Base"), "<none>");
    EXPECT_EQ(option("Tools"), "<none>");
}

TEST_F(WorkLists, TheHookCanSkipAComponentAndHearsOfEachOne) {
    start(kWork);
    ComponentList list = build();
    std::vector<std::string> events;
    const ComponentHook hook = [&events](int event, const Component& component) {
        events.push_back(std::to_string(event) + " " + component.name);
        return !(event == kHookBeforeComponent && component.name == "Base");
    };
    ASSERT_TRUE(WorkList(context(), list, recorder(), hook).install());
    EXPECT_EQ(calls_, std::vector<std::string>{"+Tools\\A=Tools\\A"});
    EXPECT_EQ(option("Base"), "<none>");
    EXPECT_EQ(events, (std::vector<std::string>{"6 Base", "6 Tools", "7 Tools", "6 Tools\\A",
                                                "7 Tools\\A"}));
}

// Checked before any work: the components before the one without a section are not left
// half installed.
TEST_F(WorkLists, AComponentWithoutSectionOrChildrenStopsTheWalkBeforeItBegins) {
    start(kWork);
    ComponentList list = build();
    list[at(list, "Tools\\A")].name = "Lost";
    EXPECT_FALSE(WorkList(context(), list, recorder()).install());
    EXPECT_TRUE(context().run.abort);
    EXPECT_EQ(ui_.numbers(), std::vector<int>{messages::kSectionNotFound});
    EXPECT_TRUE(calls_.empty()) << "Base was worked on before the walk stopped";
    EXPECT_EQ(option("Base"), "<none>");
}

TEST_F(WorkLists, MaintenanceInstallsTheNewFirstThenRemovesTheDeselected) {
    start(kWork);
    ComponentList list = build();
    for (int i = 1; i < list.size(); ++i) list[i].installed = list[i].selected = false;
    for (const char* name : {"Base", "Docs"}) list[at(list, name)].installed = true;
    list[at(list, "Base")].selected = true;
    setSelected(list, at(list, "Tools\\B"), true);
    ASSERT_TRUE(WorkList(context(), list, recorder()).maintain());
    EXPECT_EQ(calls_, (std::vector<std::string>{"+Tools\\B=Tools\\B", "-Docs=Docs"}));
}

TEST_F(WorkLists, UninstallingTakesTheUsersEmptyKeyOfAComponentAway) {
    start(kWork);
    ComponentList list = build();
    ASSERT_EQ(registry().createKey(RegistryRoot::CurrentUser, "Software\\Acme\\Manuals"), 0);
    ASSERT_EQ(registry().createKey(RegistryRoot::CurrentUser, "Software\\Acme\\Base"), 0);
    ASSERT_EQ(registry().setValue(RegistryRoot::CurrentUser, "Software\\Acme\\Base", "Kept",
                                  platform::RegistryValue::text(1, "yes")),
              0);
    for (int i = 1; i < list.size(); ++i) list[i].selected = false;
    list[at(list, "Docs")].selected = true;
    list[at(list, "Base")].selected = true;
    ASSERT_TRUE(WorkList(context(), list, recorder()).uninstall());
    EXPECT_FALSE(
        context().registry.keyExists(RegistryRoot::CurrentUser, "Software\\Acme\\Manuals"));
    EXPECT_TRUE(context().registry.keyExists(RegistryRoot::CurrentUser, "Software\\Acme\\Base"));

    // Runs that keep per-user data leave the keys alone.
    ASSERT_EQ(registry().createKey(RegistryRoot::CurrentUser, "Software\\Acme\\Manuals"), 0);
    context().run.extraFlags |= extra::kNoEndMessage;
    ASSERT_TRUE(WorkList(context(), list, recorder()).uninstall());
    EXPECT_TRUE(context().registry.keyExists(RegistryRoot::CurrentUser, "Software\\Acme\\Manuals"));
}

TEST_F(WorkLists, SectionsGoToTheirOperationsByNameAndComeBackOut) {
    start(
        "[Options]\nBase=Base,DEFAULT,,\nBase\\Settings.reg=Registry,DEFAULT,,\n"
        "Base\\Acme.ini=INI,DEFAULT,,\nOdbc=ODBC,DEFAULT,,\n"
        "[Base]\n[Base\\Settings.reg]\nHKLM\\Software\\Acme:Path=%App%\n"
        "[Base\\Acme.ini]\nSettings,Dir,%App%\n[ODBC Core]\n");
    ComponentList list = build();
    list[at(list, "Odbc")].selected = false;
    LinkServices links(*machine_, [](std::string_view) { return std::nullopt; });
    SectionDispatch dispatch(context(), *reader_, links);
    const SectionProcessor sections = [&dispatch](std::string_view section, Direction direction) {
        return dispatch.process(section, direction);
    };
    const MachineSnapshot before = MachineSnapshot::take(*machine_);
    ASSERT_TRUE(WorkList(context(), list, sections).install());
    EXPECT_EQ(value(RegistryRoot::LocalMachine, "Software\\Acme", "Path"), "C:\\Acme");
    EXPECT_NE(before.differencesTo(MachineSnapshot::take(*machine_)), "");
    ASSERT_TRUE(WorkList(context(), list, sections).uninstall());
    EXPECT_EQ(before.differencesTo(MachineSnapshot::take(*machine_)), "");

    // A kind whose operations are not there fails instead of passing as done.
    EXPECT_FALSE(dispatch.process("ODBC Core", Direction::Install));
    EXPECT_EQ(ui_.numbers(), std::vector<int>{messages::kSectionNotFound});
    dispatch.setReading(WorkSectionKind::Odbc, {{}, [](std::string_view) { return true; }});
    EXPECT_TRUE(dispatch.process("ODBC Core", Direction::Install));
}

}  // namespace
}  // namespace kestrel::setup::test
