#include "SetupFixture.h"
#include "platform/ProfileFunctions.h"

namespace kestrel::setup::test {
namespace {

using platform::RegistryRoot;
using platform::RegistryValue;

class Expansion : public SetupFixture {
  protected:
    void SetUp() override {
        load("[Setup]\nVersion=5.11\n[Application]\nApplicationDir=C:\\Program Files\\Acme App\n");
    }
};

TEST_F(Expansion, PercentSignsThatAreNoReferences) {
    EXPECT_EQ(expand("100%% sure"), "100% sure");
    EXPECT_EQ(expand("%%App%%"), "%App%");
    EXPECT_EQ(expand("\"%1\" %2"), "\"%1\" %2");
    EXPECT_EQ(expand("a%,b"), "a%,b");
    EXPECT_EQ(expand("end%"), "end%");
    EXPECT_EQ(expand("open %App and more"), "open %App and more");
    EXPECT_EQ(expand("%NoSuchThing%x"), "x");
    EXPECT_EQ(expand("%%%"), "%%");
    EXPECT_EQ(expand(""), "");
}

TEST_F(Expansion, DirectoriesPrefixSuffixAndShortForm) {
    EXPECT_EQ(session_->variables().value("App"), "C:\\Program Files\\Acme App\\");
    EXPECT_EQ(expand("%App%"), "C:\\Program Files\\Acme App");
    EXPECT_EQ(expand("%app\\%file.exe"), "C:\\Program Files\\Acme App\\file.exe");
    EXPECT_EQ(expand("x%;App%y"), "x;C:\\Program Files\\Acme Appy");
    EXPECT_EQ(expand("x%;Data%y"), "xy");  // no data directory: prefix and suffix go too
    EXPECT_EQ(expand("%Data\\%"), "");
    EXPECT_EQ(expand("[%(App)%]"), "[(C:\\Program Files\\Acme App)]");
    std::filesystem::create_directories(dir_ / "prefix/drive_c/Program Files/Acme App");
    EXPECT_EQ(expand("%~App%"), "C:\\PROGRA~1\\ACMEAP~1");
    EXPECT_EQ(expand("%;~App\\%"), ";C:\\PROGRA~1\\ACMEAP~1\\");
    EXPECT_EQ(expand("%~Windows%"), "C:\\windows");
    // The built-in variable wins over the environment; names are upper-cased for it.
    environment_.set("APP", "elsewhere");
    environment_.set("MYVAR", "mine");
    EXPECT_EQ(expand("%App%|%myvar%|%MyVar\\%"), "C:\\Program Files\\Acme App|mine|mine\\");
}

TEST_F(Expansion, RegistryAndIniReferences) {
    EXPECT_EQ(expand("%HKLM\\Software\\Microsoft\\Windows\\CurrentVersion:ProgramFilesDir%"),
              "C:\\Program Files");
    EXPECT_EQ(
        expand("%HKEY_LOCAL_MACHINE,Software\\Microsoft\\Windows\\CurrentVersion,CommonFilesDir%"),
        "C:\\Program Files\\Common Files");
    auto& registry = session_->registry();
    // A doubled colon keeps one colon in the key path and splits at the second.
    EXPECT_EQ(registry.createKey(RegistryRoot::CurrentUser, "Software\\Odd:"), 0);
    EXPECT_EQ(registry.setValue(RegistryRoot::CurrentUser, "Software\\Odd:", "Key:Name", 1,
                                std::string("colons\0", 7)),
              0);
    EXPECT_EQ(expand("%HKCU\\Software\\Odd::Key:Name%"), "colons");
    EXPECT_EQ(registry.createKey(RegistryRoot::CurrentUser, "Software\\Plain"), 0);
    EXPECT_EQ(registry.setValue(RegistryRoot::CurrentUser, "Software\\Plain", "", 1,
                                std::string("default\0", 8)),
              0);
    // A colon at the end is a suffix character; the default value is read as a quoted
    // empty third field (a double quote may end a name).
    EXPECT_EQ(expand("<%HKCU\\Software\\Plain:%>"), "<>");
    EXPECT_EQ(expand("%HKCU,Software\\Plain,\"\"%"), "default");
    EXPECT_EQ(registry.createKey(RegistryRoot::CurrentUser, "Software\\Types"), 0);
    EXPECT_EQ(registry.setValue(RegistryRoot::CurrentUser, "Software\\Types", "N",
                                platform::kRegDword, RegistryValue::dword(4294967295u).data),
              0);
    EXPECT_EQ(
        registry.setValue(RegistryRoot::CurrentUser, "Software\\Types", "B", 3, "\xde\xad\x01"), 0);
    EXPECT_EQ(registry.setValue(RegistryRoot::CurrentUser, "Software\\Types", "M", 7,
                                std::string("a\0b\0\0", 5)),
              0);
    EXPECT_EQ(registry.setValue(RegistryRoot::CurrentUser, "Software\\Types", "E", 2,
                                std::string("%SystemRoot%\\x;%HOMEPART%;%unset%") + '\0'),
              0);
    environment_.set("HOMEPART", "home");
    EXPECT_EQ(expand("%HKCU\\Software\\Types:N%"), "4294967295");
    EXPECT_EQ(expand("%HKCU\\Software\\Types:B%"), "de,ad,01");
    EXPECT_EQ(expand("%HKCU\\Software\\Types:M%"), "a\tb");
    EXPECT_EQ(expand("%HKCU\\Software\\Types:E%"), "C:\\windows\\x;home;%unset%");
    EXPECT_EQ(expand("<%HKLM\\Software\\Nothing:Here%>"), "<>");
    EXPECT_EQ(expand("<%HKDD\\Dyn:Data%>"), "<>");

    platform::writeProfileString(machine_->profileFile("win.ini"), "Desktop", "Wallpaper",
                                 "(None)");
    EXPECT_EQ(expand("%Win.ini,Desktop,Wallpaper%"), "(None)");
    EXPECT_EQ(expand("%WIN.INI,desktop,WALLPAPER\\%"), "(None)\\");
    EXPECT_EQ(expand("<%Win.ini,,Wallpaper%>"), "<>");  // every field needed
    EXPECT_EQ(expand("<%Q:\\x.ini,a,b%>"), "<>");
}

TEST_F(Expansion, ResultIsCutAt8191Characters) {
    environment_.set("BIG", std::string(5000, 'b'));
    const std::string result = expand("%Big%%Big%%Big%");
    EXPECT_EQ(result.size(), 8191u);
    EXPECT_EQ(expand(std::string(9000, 'x')).size(), 8191u);
}

}  // namespace
}  // namespace kestrel::setup::test
