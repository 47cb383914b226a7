// The installer is a 32-bit program: on a 64-bit root it sees the machine as such a program
// does on 64-bit Windows.
#include "SetupFixture.h"

namespace kestrel::setup::test {
namespace {

using platform::RegistryRoot;

class Win64RootTest : public SetupFixture {
  protected:
    Win64RootTest() : SetupFixture(platform::WindowsArchitecture::Win64) {
        load("[Setup]\nVersion=5.11\n[Application]\nProductName=Acme\n");
    }
    // What the system hive holds there, past any redirection; "<none>" when nothing.
    std::string stored(std::string_view key, std::string_view name) {
        platform::RegistryValue found;
        if (registry().queryValue(RegistryRoot::LocalMachine, key, name, &found) != 0)
            return "<none>";
        return found.textValue();
    }
};

TEST_F(Win64RootTest, FoldersAreThoseOfA32BitProgram) {
    ASSERT_TRUE(machine_->is64Bit());
    const BuiltinVariables& v = session_->variables();
    EXPECT_EQ(v.value("System"), "C:\\windows\\syswow64");
    EXPECT_EQ(v.value("WriteableSystem"), "C:\\windows\\syswow64");
    EXPECT_EQ(v.value("ProgramFilesDir"), "C:\\Program Files (x86)");
    EXPECT_EQ(v.value("CommonFilesDir"), "C:\\Program Files (x86)\\Common Files");
    EXPECT_EQ(machine_->expandRootEnvironment("%ProgramFiles%|%CommonProgramFiles%"),
              "C:\\Program Files (x86)|C:\\Program Files (x86)\\Common Files");
    for (const char* folder : {"windows/syswow64", "Program Files (x86)/Common Files"})
        EXPECT_TRUE(std::filesystem::is_directory(dir_ / "prefix/drive_c" / folder)) << folder;
}

TEST_F(Win64RootTest, RegistryGoesThroughTheRedirector) {
    RegistryServices& services = session_->registry();
    ASSERT_EQ(services.writeString(RegistryRoot::LocalMachine, "Software\\Acme", "V", "32"), 0);
    ASSERT_EQ(services.writeString(RegistryRoot::ClassesRoot, "CLSID\\{1}", "", "Acme"), 0);
    ASSERT_EQ(services.writeString(RegistryRoot::ClassesRoot, ".acme", "", "Acme.Document"), 0);
    ASSERT_EQ(services.writeString(RegistryRoot::LocalMachine,
                                   "System\\CurrentControlSet\\Services\\Acme", "Start", "3"),
              0);
    ASSERT_EQ(services.writeString(RegistryRoot::ClassesRoot, "TypeLib\\{2}", "", "AcmeLib"), 0);
    const std::string appPath = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\acme.exe";
    ASSERT_EQ(services.writeString(RegistryRoot::LocalMachine, appPath, "", "C:\\Acme\\acme.exe"),
              0);
    // Where the hives keep them.
    EXPECT_EQ(stored("Software\\Wow6432Node\\Acme", "V"), "32");
    EXPECT_EQ(stored("Software\\Acme", "V"), "<none>");
    EXPECT_EQ(stored("Software\\Classes\\Wow6432Node\\CLSID\\{1}", ""), "Acme");
    EXPECT_EQ(stored("Software\\Classes\\Wow6432Node\\.acme", ""), "Acme.Document");
    EXPECT_EQ(stored("Software\\Classes\\.acme", ""), "<none>");
    // Keys the views share are written once, for both.
    EXPECT_EQ(stored("Software\\Classes\\TypeLib\\{2}", ""), "AcmeLib");
    EXPECT_EQ(stored(appPath, ""), "C:\\Acme\\acme.exe");
    EXPECT_EQ(stored("System\\CurrentControlSet\\Services\\Acme", "Start"), "3");
    // And the installer reads them back where it wrote them, deletes them there too.
    std::string text;
    EXPECT_EQ(services.readText(RegistryRoot::LocalMachine, "Software\\Acme", "V", &text), 0);
    EXPECT_EQ(text, "32");
    EXPECT_EQ(services.deleteTree(RegistryRoot::LocalMachine, "Software\\Acme"), 0);
    EXPECT_FALSE(services.keyExists(RegistryRoot::LocalMachine, "Software\\Wow6432Node\\Acme"));
}

// The same script on a 32-bit root: no redirection, the native folders.
TEST_F(SetupFixture, A32BitRootHasOneView) {
    load("[Setup]\nVersion=5.11\n[Application]\nProductName=Acme\n");
    ASSERT_FALSE(machine_->is64Bit());
    EXPECT_EQ(session_->variables().value("System"), "C:\\windows\\system32");
    EXPECT_EQ(session_->variables().value("ProgramFilesDir"), "C:\\Program Files");
    ASSERT_EQ(
        session_->registry().writeString(RegistryRoot::LocalMachine, "Software\\Acme", "V", "32"),
        0);
    platform::RegistryValue found;
    ASSERT_EQ(registry().queryValue(RegistryRoot::LocalMachine, "Software\\Acme", "V", &found), 0);
    EXPECT_EQ(found.textValue(), "32");
}

}  // namespace
}  // namespace kestrel::setup::test
