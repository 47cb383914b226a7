// A product of several components installed with its files, commands, registry and INI
// sections and its records, then uninstalled: the machine root is left as it was.
#include <gtest/gtest.h>

#include "CommandFixture.h"
#include "MachineSnapshot.h"
#include "components/ComponentListBuild.h"
#include "components/ComponentSelection.h"
#include "components/SectionDispatch.h"
#include "components/WorkList.h"
#include "records/RecordRemoval.h"
#include "records/RecordWriter.h"

namespace kestrel::setup::test {
namespace {

using platform::RegistryRoot;

const char* const kProduct =
    "ProductName=Acme Tools\nVersion=2.0\nMachineKeyName=Acme\\Tools\\2.0\n"
    "UninstallKeyName=Acme Tools\nUninstallDisplayName=Acme Tools 2.0\n"
    "[Options]\n"
    "Base=Base,DEFAULT,,\n"
    "Base\\Settings.reg=Settings,DEFAULT,,\n"
    "Tools=Tools,DEFAULT,,\n"
    "Tools\\Extra=Extra,0,,\n"
    "[Base]\n"
    "0:a.txt,a.txt\n"
    "MD %App%\\Data\\Logs\n"
    "If DoesFileExist(C:\\Acme\\a.txt) == 1 Then Shared\n"
    "[Shared]\n"
    "0:s.txt,s.txt\n"
    "[Base\\Settings.reg]\n"
    "HKLM\\Software\\Acme:Path=%App%\n"
    "[Tools]\n"
    "0:t.txt,Tools\\t.txt\n"
    "Copy C:\\setup\\t.txt %App%\\Tools\\copy.txt\n"
    "[Tools\\Extra]\n"
    "0:x.txt,x.txt\n";

class InstallRoundTrip : public CommandFixture {};

TEST_F(InstallRoundTrip, UninstallingLeavesTheMachineAsItWas) {
    startCommands(kProduct);
    for (const char* name : {"a.txt", "s.txt", "t.txt", "x.txt"}) source(name, name);
    const MachineSnapshot before = MachineSnapshot::take(*machine_);

    auto list = buildComponentList(context(), 0x511, false,
                                   [](const ComponentList&, int) { return std::int64_t{0}; });
    ASSERT_TRUE(list.has_value());
    setSelected(*list, list->find("Tools\\Extra").value(), true);
    LinkServices links(*machine_, [](std::string_view) { return std::nullopt; });
    SectionDispatch dispatch(context(), *reader_, links);
    const SectionProcessor sections = [&dispatch](std::string_view section, Direction direction) {
        return dispatch.process(section, direction);
    };

    ASSERT_TRUE(WorkList(context(), *list, sections).install());
    ASSERT_TRUE(records::writeRecords(context(), {}, records::InstallerProgram{"C:\\setup.exe"}));
    for (const char* file : {"a.txt", "s.txt", "Tools\\t.txt", "Tools\\copy.txt", "x.txt"})
        EXPECT_TRUE(fs::exists(host(std::string("C:\\Acme\\") + file))) << file;
    EXPECT_TRUE(fs::is_directory(host("C:\\Acme\\Data\\Logs")));
    EXPECT_EQ(value(RegistryRoot::LocalMachine, "Software\\Acme", "Path"), "C:\\Acme");
    EXPECT_EQ(value(RegistryRoot::LocalMachine, "Software\\Acme\\Tools\\2.0\\Setup\\Options",
                    "Tools\\Extra"),
              "1");

    context().run.uninstall = true;
    ASSERT_TRUE(WorkList(context(), *list, sections).uninstall());
    records::deleteRecords(context());
    EXPECT_EQ(before.differencesTo(MachineSnapshot::take(*machine_)), "");
    EXPECT_TRUE(ui_.shown.empty());
}

}  // namespace
}  // namespace kestrel::setup::test
