#include "SetupFixture.h"
#include "messages/MessageStrings.h"
#include "platform/ProfileFunctions.h"
#include "script/StringSections.h"

namespace kestrel::setup::test {
namespace {

using platform::RegistryRoot;
using platform::RegistryValue;

class Settings : public SetupFixture {};

TEST_F(Settings, NumbersDefaultsAndTexts) {
    load(
        "[Setup]\nVersion=5.1\n[application]\n  AskDir   =  1  \nAskUser=Yes\nAskShared=0\n"
        "ProductNameShort=Acme\nDeveloperName=Acme Corp\nSetupName=%ProductName% %Version% Setup\n"
        "Version=2.0\nRevision=%NotExpanded%\nMachineKeyName=Acme\\\\App\\\\%Version%\n"
        "UninstallKeyName=Acme\\\\\\\\App\nPrompt=Serial\n");
    const ApplicationSettings& s = session_->settings();
    EXPECT_TRUE(s.askDir);
    EXPECT_FALSE(s.askUser);  // "Yes" reads 0
    EXPECT_FALSE(s.askShared);
    EXPECT_TRUE(s.askUninstallOld);
    EXPECT_TRUE(s.warnRegistry);
    EXPECT_EQ(s.useCheckmarks, 2);
    EXPECT_EQ(s.productName, "Acme");  // each defaults to the other
    EXPECT_EQ(s.developerNameShort, "Acme Corp");
    EXPECT_EQ(s.setupName, "Acme 2.0 Setup");
    EXPECT_EQ(s.revision, "%NotExpanded%");
    EXPECT_EQ(s.machineKeyName, "Acme\\App\\2.0");
    EXPECT_EQ(s.uninstallKeyName, "Acme\\\\App");  // each doubled backslash once
    EXPECT_EQ(s.prompts, "Serial");
    EXPECT_EQ(s.setupHookFunc, "SetupHookFunc");
    EXPECT_EQ(session_->setupSection().scriptVersion, 0x510u);
    EXPECT_EQ(session_->variables().value("SetupName"), "Acme 2.0 Setup");
    EXPECT_EQ(s.texts.size(), 4u);  // before 5.11: the four fixed texts
    EXPECT_EQ(s.texts[3].text, "%User%, %Company%");
    for (const BackgroundText& text : s.texts) {
        EXPECT_EQ(text.x.unit, Coordinate::Unit::Percent) << "one column, each below the last";
        EXPECT_EQ(text.x.value, 2);
    }
    EXPECT_TRUE(s.texts[3].y.empty);
    // Blue to black without a background picture; centred progress window.
    EXPECT_EQ(s.backgroundFrom, 0xFF0000u);
    EXPECT_EQ(s.backgroundTo, 0u);
    EXPECT_EQ(placeCopyDialog(s.copyDialogRect, 800, 600, 300, 100, 96),
              (PixelRect{250, 250, 300, 100}));
}

TEST_F(Settings, ScriptVersions) {
    EXPECT_EQ(parseScriptVersion("5.1"), 0x510u);
    EXPECT_EQ(parseScriptVersion("5.10"), 0x510u);
    EXPECT_EQ(parseScriptVersion("5.11"), 0x511u);
    EXPECT_EQ(parseScriptVersion("3.0"), 0x300u);
    EXPECT_EQ(parseScriptVersion("4"), 0x400u);
    EXPECT_EQ(readSetupSection(ScriptText::fromText("", "x")).scriptVersion, 0x300u);
    // 3.0 and older are refused with 5532.
    load("[Setup]\nVersion=3.0\n", false);
    EXPECT_FALSE(session_->readSettings());
    EXPECT_EQ(ui_.numbers(), std::vector<int>{5532});
    EXPECT_EQ(ui_.shown.back().box.text.find("The syntax for the file 'C:\\setup\\Setup.inf'"), 0u);
    load("[Application]\nProductName=x\n", false);
    EXPECT_FALSE(session_->readSettings());
}

TEST_F(Settings, BackgroundTextsPicturesAndUnknownFlags) {
    load(
        "[Setup]\nVersion=5.11\n[Application]\n"
        "Text1=\"%ProductName%, the tool\",Arial,24,SWISS,00FFFFFF,10%,-20#,BOLD|SHADOW|CENTER\n"
        "Text3=Second,Times,12,ROMAN,0,,,ITALIC\n"
        "Logo=logo8.bmp;logo4.bmp,-10#,-10#,0,0,FFFFFFFF,TRANSPARENT|KEEPRATIO\n"
        "BackgroundPicture=back.bmp,0,0,100%,100%,,TILE\nBackgroundSound=tada.wav,ASYNC|FILENAME\n"
        "CopyDialogRect=10#,-10#,50%,0,VCENTER\n");
    const ApplicationSettings& s = session_->settings();
    ASSERT_EQ(s.texts.size(), 2u);
    EXPECT_EQ(s.texts[0].text, "%ProductName%, the tool");
    EXPECT_EQ(s.texts[0].flags, 0x40u | 0x200u | 0x4u);
    EXPECT_EQ(s.texts[0].family, 0x20u);
    EXPECT_EQ(s.texts[0].x.unit, Coordinate::Unit::Percent);
    EXPECT_EQ(s.texts[0].y.value, -20);
    EXPECT_EQ(s.texts[0].y.unit, Coordinate::Unit::Pixels);
    EXPECT_TRUE(s.texts[1].x.empty);
    EXPECT_EQ(s.logo.files, (std::vector<std::string>{"logo8.bmp", "logo4.bmp"}));
    EXPECT_EQ(s.logo.flags, 0x201u);
    EXPECT_EQ(s.backgroundPicture.flags, 0x8000u);
    EXPECT_EQ(s.backgroundFrom, kColourNone);  // a picture and no colours: nothing filled
    EXPECT_EQ(s.backgroundSoundFlags, 0x20001u);
    // Height 0 grows to the dialog's own; y counts from the bottom.
    EXPECT_EQ(placeCopyDialog(s.copyDialogRect, 800, 600, 300, 100, 96),
              (PixelRect{10, 490, 300, 100}));
    EXPECT_EQ(coordinateToPixels(parseCoordinate("12"), 0, 96), 12 * 96 / 72 * 134 / 120);
    EXPECT_EQ(coordinateToPixels(parseCoordinate("25%"), 640, 96), 160);

    load("[Setup]\nVersion=5.11\n[Application]\nText2=x,Arial,10,SWISS,0,0,0,BOLD|BLINK\n", false);
    EXPECT_FALSE(session_->readSettings());
    EXPECT_EQ(ui_.shown.back().box.text, "Incorrect Flags: BLINK!");
    load("[Setup]\nVersion=5.11\n[Application]\nLogo=a.bmp,0,0,0,0,0,HUGE\n", false);
    EXPECT_FALSE(session_->readSettings());
    EXPECT_EQ(ui_.shown.back().box.text, "Incorrect Flags: HUGE!");
}

// The system's names (SysStrings) follow the language of the root's own User.exe, not the
// person's; a root without one uses the script's plain section.
TEST_F(Settings, SystemStringsFollowTheSystemsLanguage) {
    const std::filesystem::path german =
        std::filesystem::path(KESTREL_SAMPLE_PRODUCTS_DIR) / "harbor/variants/harbor-2.0-de.dll";
    if (!std::filesystem::exists(german)) GTEST_SKIP() << "sample products not built";
    const std::string script =
        "[Setup]\nVersion=5.11\n[Strings]\nGreeting=Hello\n[Strings:07]\nGreeting=Hallo\n"
        "[SysStrings]\nPrograms=Programs\n[SysStrings:07]\nPrograms=Programme\n";
    kestrel::test::ScopedEnvironment locale;
    locale.set("LC_ALL", std::nullopt);
    locale.set("LC_MESSAGES", std::nullopt);
    locale.set("LANG", "de_DE.UTF-8");
    load(script);
    EXPECT_EQ(environment_.get("GREETING"), "Hallo");
    EXPECT_EQ(environment_.get("PROGRAMS"), "Programs") << "the root has no User.exe";

    const auto userExe = machine_->paths().hostPath("C:\\windows\\system32\\User.exe");
    ASSERT_TRUE(userExe);
    std::filesystem::copy_file(german, *userExe);
    locale.set("LANG", "en_US.UTF-8");
    load(script);
    EXPECT_EQ(environment_.get("GREETING"), "Hello");
    EXPECT_EQ(environment_.get("PROGRAMS"), "Programme");
}

TEST_F(Settings, UserAndCompanyDefaults) {
    load("[Setup]\nVersion=5.11\n");
    EXPECT_EQ(session_->settings().defaultUser, "alice");  // the new root's registered owner
    EXPECT_EQ(registry().setValue(RegistryRoot::LocalMachine,
                                  "Software\\Microsoft\\Windows NT\\CurrentVersion",
                                  "RegisteredOwner", RegistryValue::text(1, "")),
              0);
    platform::writeProfileString(machine_->profileFile("win.ini"), "MS User Info", "DefName",
                                 "From Win.ini");
    platform::writeProfileString(machine_->profileFile("win.ini"), "MS User Info", "DefCompany",
                                 "Ini Ltd");
    load("[Setup]\nVersion=5.11\n");
    EXPECT_EQ(session_->variables().value("User"), "From Win.ini");
    EXPECT_EQ(session_->variables().value("Company"), "Ini Ltd");
    load("[Setup]\nVersion=5.11\n[Application]\nDefaultUser=" + std::string(100, 'u') +
         "\nDefaultCompany=\n");
    EXPECT_EQ(session_->variables().value("User").size(), 80u);
    EXPECT_EQ(session_->variables().value("Company"), "");
}

TEST_F(Settings, StringSectionsFollowTheLanguage) {
    const std::string script =
        "[Setup]\nVersion=5.11\n[Strings]\nGreeting=Hello\n[Strings:07]\nGreeting=Hallo\n"
        "[Strings:07,03]\nGreeting=Servus\nWhere=%App%\n[Mine]\nGreeting=Mine\n[SysStrings]\nSys="
        "s\n"
        "[Environment]\nAcmeBin=%App%\\bin\n[Application]\nApplicationDir=C:\\Acme\n";
    kestrel::test::ScopedEnvironment locale;
    locale.set("LC_ALL", std::nullopt);
    locale.set("LC_MESSAGES", std::nullopt);
    locale.set("LANG", "de_AT.UTF-8");
    load(script);
    EXPECT_EQ(environment_.get("GREETING"), "Servus");
    EXPECT_EQ(environment_.get("SYS"), "s");
    EXPECT_EQ(environment_.get("WHERE"), "");  // App is set only after the string sections
    EXPECT_TRUE(session_->loadEnvironmentSection());
    EXPECT_EQ(environment_.get("ACMEBIN"), "C:\\Acme\\bin");  // [Environment] comes after it
    EXPECT_EQ(expand("%Greeting%"), "Servus");
    locale.set("LANG", "de_CH");
    load(script);
    EXPECT_EQ(environment_.get("GREETING"), "Hallo");
    locale.set("LANG", "fr_FR");
    load(script);
    EXPECT_EQ(environment_.get("GREETING"), "Hello");
    load(script + "UseStringSection=Mine\n");
    EXPECT_EQ(environment_.get("GREETING"), "Mine");
    EXPECT_EQ(chooseStringSection(ScriptText::fromText("", "x"), "Strings",
                                  platform::languageOfLocale("C"), ""),
              "Strings");
    EXPECT_EQ(platform::languageOfLocale("pt_BR").value, 0x0416);
    EXPECT_EQ(platform::languageOfLocale("de").value, 0x0407);
}

TEST_F(Settings, NamesFromTheRegistryBecomeInstallerText) {
    const std::string key = "System\\CurrentControlSet\\Control\\ComputerName\\ComputerName";
    EXPECT_EQ(registry().createKey(RegistryRoot::LocalMachine, key), 0);
    EXPECT_EQ(registry().setValue(RegistryRoot::LocalMachine, key, "ComputerName",
                                  RegistryValue::text(platform::kRegSz, "B\u00fcro")),
              0);
    load("[Setup]\nVersion=5.11\n");
    EXPECT_EQ(session_->variables().value("ComputerName"),
              "B\xfc"
              "ro");
}

// WIN.INI is written by Windows programs in the code page, or by an editor on the host in
// UTF-8; either way the variables and the environment get installer text.
TEST_F(Settings, ServiceSettingsFromWinIniBecomeInstallerText) {
    const auto winIni = machine_->profileFile("win.ini");
    platform::writeProfileString(winIni, "SetupService", "WindowsUser", "J\u00fcrgen");
    platform::writeProfileString(winIni, "SetupService", "Desktop",
                                 "C:\\users\\J\u00fcrgen\\Desktop");
    platform::writeProfileString(winIni, "SetupService", "Personal",
                                 "C:\\users\\J\xfcrgen\\Eigene Dateien");
    platform::writeProfileString(winIni, "SetupServiceEnvironment", "Ort", "M\u00fcnchen");
    load("[Setup]\nVersion=5.11\n");
    const BuiltinVariables& v = session_->variables();
    EXPECT_EQ(v.value("WindowsUser"), "J\xfcrgen");
    EXPECT_EQ(v.value("Desktop"), "C:\\users\\J\xfcrgen\\Desktop");
    EXPECT_EQ(v.value("Personal"), "C:\\users\\J\xfcrgen\\Eigene Dateien");
    EXPECT_EQ(environment_.get("ORT"), "M\xfcnchen");
}

// The process environment is UTF-8 for the host and the programs started; the installer
// reads and writes it in its code page.
TEST(ProcessEnvironmentTest, HoldsUtf8AndGivesInstallerText) {
    const kestrel::test::ScopedEnv place("KESTREL_PLACE", "K\u00f6ln");
    const kestrel::test::ScopedEnv other("KESTREL_OTHER", std::nullopt);
    ProcessEnvironment environment;
    EXPECT_EQ(environment.get("KESTREL_PLACE"), "K\xf6ln");
    ASSERT_TRUE(environment.set("KESTREL_OTHER",
                                "Gr\xf6\xdf"
                                "e \x80"));
    EXPECT_STREQ(std::getenv("KESTREL_OTHER"), "Gr\u00f6\u00dfe \u20ac");
    EXPECT_EQ(expandEnvironmentStrings("%KESTREL_OTHER%", environment),
              "Gr\xf6\xdf"
              "e \x80");
}

TEST_F(Settings, SystemVariablesComeFromTheMachineRoot) {
    platform::writeProfileString(machine_->profileFile("win.ini"), "intl", "sDate", "/");
    load("[Setup]\nVersion=5.11\n[Application]\nCommonShellLinks=1\n");
    BuiltinVariables& v = session_->variables();
    EXPECT_EQ(v.value("WindowsName"), "Windows NT");
    EXPECT_EQ(v.value("WindowsVersion"), "6.1");  // a new root's, as Wine 8 makes it
    EXPECT_EQ(v.value("SetupBits"), "32");
    EXPECT_EQ(v.value("Windows"), "C:\\windows");
    EXPECT_EQ(v.value("System16"), "C:\\windows\\System");
    EXPECT_EQ(v.value("ProgramFilesDir"), "C:\\Program Files");
    EXPECT_EQ(v.value("Shared"), "C:\\windows");
    EXPECT_EQ(v.value("WriteableSystem"), "C:\\windows\\system32");
    EXPECT_EQ(v.value("Desktop"), "C:\\users\\Public\\Desktop");  // CommonShellLinks
    EXPECT_EQ(v.value("UserDesktop"), "C:\\users\\alice\\Desktop");
    EXPECT_EQ(v.value("Personal"), "C:\\users\\alice\\Documents");
    EXPECT_EQ(v.value("WindowsUser"), "alice");
    EXPECT_EQ(v.value("Accessories"), "C:");
    EXPECT_EQ(v.value("DomainName"), "WORKGROUP");
    EXPECT_EQ(v.value("PrinterDriverDir"), "C:\\windows\\system32\\spool\\drivers\\w32x86");
    EXPECT_EQ(v.value("AppPaths"), "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths");
    std::tm local{};
    const std::time_t start = 1700000000;
    ::localtime_r(&start, &local);
    char date[64];
    std::snprintf(date, sizeof date, "%02d/%02d/%04d", local.tm_mday, local.tm_mon + 1,
                  local.tm_year + 1900);
    EXPECT_EQ(v.value("SysDate"), date);
    EXPECT_EQ(v.value("SysTime").size(), 5u);
    EXPECT_EQ(v.value("SysTime")[2], ':');

    // A 95/98 root: other names, its own INF files, no all-users folders.
    EXPECT_EQ(registry().createKey(RegistryRoot::CurrentUser, "Software\\Wine"), 0);
    EXPECT_EQ(registry().setValue(RegistryRoot::CurrentUser, "Software\\Wine", "Version",
                                  RegistryValue::text(1, "win98")),
              0);
    platform::writeProfileString(machine_->profileFile("INF\\SHELL.INF"), "Strings", "Accessories",
                                 "Zubehoer");
    platform::writeProfileString(machine_->profileFile("INF\\SHELL.INF"), "Strings", "ACCESSGAMES",
                                 "Spiele");
    platform::writeProfileString(machine_->profileFile("win.ini"), "SetupService", "WindowsUser",
                                 "bob");
    platform::writeProfileString(machine_->profileFile("win.ini"), "SetupService", "Desktop",
                                 "C:\\users\\bob\\Desktop");
    load("[Setup]\nVersion=5.11\n[Application]\nCommonShellLinks=1\n");
    EXPECT_EQ(session_->variables().value("WindowsName"), "Windows");
    EXPECT_EQ(session_->variables().value("WindowsVersion"), "4.10");
    EXPECT_EQ(session_->variables().value("System16"), "C:\\windows\\system32");
    EXPECT_EQ(session_->variables().value("Accessories"), "Zubehoer");
    EXPECT_EQ(session_->variables().value("Games"), "Spiele");
    EXPECT_EQ(session_->variables().value("WindowsUser"), "bob");
    EXPECT_EQ(session_->variables().value("UserDesktop"), "C:\\users\\bob\\Desktop");
    EXPECT_EQ(session_->variables().value("CommonDesktop"), "C:\\users\\alice\\Desktop");
    EXPECT_EQ(session_->variables().value("PrinterDriverDir"), "C:\\windows\\system32");
}

TEST_F(Settings, BuiltinVariablesHaveFixedNamesAndLengths) {
    BuiltinVariables variables;
    EXPECT_TRUE(variables.set("app", "x"));
    EXPECT_EQ(variables.get("APP"), "x");
    EXPECT_FALSE(variables.set("NotAVariable", "x"));
    EXPECT_EQ(variables.get("NotAVariable"), std::nullopt);
    variables.set("Src", std::string(300, 's'));
    EXPECT_EQ(variables.value("Src").size(), 255u);
    variables.set("Company", std::string(100, 'c'));
    EXPECT_EQ(variables.value("Company").size(), 80u);
    variables.setDirectory("Data", "D:\\data\\\\\\");
    EXPECT_EQ(variables.value("Data"), "D:\\data\\");
    variables.setDirectory("Data", "");
    EXPECT_EQ(variables.value("Data"), "");
}

}  // namespace
}  // namespace kestrel::setup::test
