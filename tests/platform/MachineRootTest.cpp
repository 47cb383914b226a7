#include "platform/MachineRoot.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/ShortName.h"

namespace kestrel::platform {
namespace {

namespace fs = std::filesystem;

class MachineRootTest : public ::testing::Test {
  protected:
    std::unique_ptr<MachineRoot> openRoot() {
        auto root = MachineRoot::open(dir_ / "prefix", {"alice", dir_ / "servers"});
        EXPECT_TRUE(root.has_value()) << (root ? "" : root.error());
        return root ? std::move(root.value()) : nullptr;
    }
    void setWineVersion(MachineRoot& root, std::string_view version) {
        EXPECT_EQ(root.registry().createKey(RegistryRoot::CurrentUser, "Software\\Wine"), 0);
        EXPECT_EQ(root.registry().setValue(RegistryRoot::CurrentUser, "Software\\Wine", "Version",
                                           RegistryValue::text(kRegSz, version)),
                  0);
    }

    test::TempDir dir_;
};

TEST_F(MachineRootTest, NewPrefixGetsTheSkeletonOfAWinePrefix) {
    auto root = openRoot();
    const fs::path prefix = dir_ / "prefix";
    EXPECT_EQ(fs::read_symlink(prefix / "dosdevices/c:"), "../drive_c");
    EXPECT_EQ(fs::read_symlink(prefix / "dosdevices/z:"), "/");
    for (const char* folder : {"drive_c/windows/system32", "drive_c/Program Files/Common Files",
                               "drive_c/users/alice/Desktop", "drive_c/users/Public/Desktop"}) {
        EXPECT_TRUE(fs::is_directory(prefix / folder)) << folder;
    }
    // What Wine makes on this host: a 64-bit system where the host is 64-bit.
    const bool win64 = sizeof(void*) == 8;
    for (const char* folder :
         {"drive_c/windows/syswow64", "drive_c/Program Files (x86)/Common Files"})
        EXPECT_EQ(fs::is_directory(prefix / folder), win64) << folder;
    const std::string system = test::readFile(prefix / "system.reg");
    EXPECT_EQ(system.rfind(std::string("WINE REGISTRY Version 2\n;; All keys relative to "
                                       "REGISTRY\\\\Machine\n\n#arch=") +
                               (win64 ? "win64" : "win32") + "\n",
                           0),
              0u);
    EXPECT_EQ(test::readFile(prefix / "userdef.reg"),
              std::string("WINE REGISTRY Version 2\n;; All keys relative to "
                          "REGISTRY\\\\User\\\\.Default\n\n#arch=") +
                  (win64 ? "win64" : "win32") + "\n");
    EXPECT_NE(system.find("[System\\\\CurrentControlSet]"), std::string::npos);
    EXPECT_NE(system.find("#link\n"), std::string::npos);
    // The version Wine's first start writes too (it would change any other): 6.1, no
    // version numbers that say otherwise.
    EXPECT_EQ(root->windowsVersion().family, WindowsFamily::WindowsNT);
    EXPECT_EQ(root->windowsVersion().major, 6);
    EXPECT_EQ(root->windowsVersion().minor, 1);
    EXPECT_EQ(system.find("CurrentMajorVersionNumber"), std::string::npos);
    EXPECT_FALSE(root->computerName().empty());

    // Opening again changes nothing that exists.
    test::writeFile(prefix / "drive_c/windows/win.ini", "[intl]\r\nsDate=/\r\n");
    root.reset();
    auto again = openRoot();
    EXPECT_EQ(test::readFile(prefix / "system.reg"), system);
    EXPECT_EQ(test::readFile(again->profileFile("WIN.INI")), "[intl]\r\nsDate=/\r\n");
}

// Wine names some folders in a case of its own; opening its prefix adds no second folder
// beside them (which would stay there after every installation and uninstallation).
TEST_F(MachineRootTest, OpeningKeepsFoldersInTheCaseWineGaveThem) {
    openRoot();
    const fs::path programs =
        dir_ / "prefix/drive_c/users/alice/AppData/Roaming/Microsoft/Windows/Start Menu/Programs";
    fs::rename(programs / "Startup", programs / "StartUp");
    openRoot();
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(programs))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"StartUp"});
}

TEST_F(MachineRootTest, WindowsVersionComesFromTheRegistry) {
    auto root = openRoot();
    setWineVersion(*root, "win98");
    EXPECT_EQ(root->windowsVersion().family, WindowsFamily::Windows9x);
    EXPECT_EQ(root->windowsVersion().minor, 10);
    setWineVersion(*root, "nt40");
    EXPECT_TRUE(root->windowsVersion().isNT());
    EXPECT_EQ(root->windowsVersion().major, 4);

    setWineVersion(*root, "unknown");
    auto& registry = root->registry();
    constexpr std::string_view nt = "Software\\Microsoft\\Windows NT\\CurrentVersion";
    for (const auto& [name, number] :
         {std::pair{"CurrentMajorVersionNumber", 10}, std::pair{"CurrentMinorVersionNumber", 0}}) {
        EXPECT_EQ(
            registry.setValue(RegistryRoot::LocalMachine, nt, name, RegistryValue::dword(number)),
            0);
    }
    EXPECT_EQ(root->windowsVersion().major, 10);
    EXPECT_EQ(registry.deleteValue(RegistryRoot::LocalMachine, nt, "CurrentMajorVersionNumber"), 0);
    EXPECT_EQ(root->windowsVersion().major, 6);  // CurrentVersion "6.1"
    EXPECT_EQ(registry.deleteTree(RegistryRoot::LocalMachine, "Software\\Microsoft\\Windows NT"),
              0);
    EXPECT_EQ(registry.createKey(RegistryRoot::LocalMachine,
                                 "Software\\Microsoft\\Windows\\CurrentVersion"),
              0);
    EXPECT_EQ(registry.setValue(RegistryRoot::LocalMachine,
                                "Software\\Microsoft\\Windows\\CurrentVersion", "VersionNumber",
                                RegistryValue::text(kRegSz, "4.00.950")),
              0);
    EXPECT_EQ(root->windowsVersion().family, WindowsFamily::Windows9x);
    EXPECT_EQ(root->windowsVersion().major, 4);
    EXPECT_EQ(root->windowsVersion().minor, 0);
}

TEST_F(MachineRootTest, WindowsPathsResolveWithoutRegardToCase) {
    auto root = openRoot();
    const fs::path driveC = dir_ / "prefix/drive_c";
    fs::create_directories(driveC / "Program Files/Acme App");
    test::writeFile(driveC / "Program Files/Acme App/ReadMe.TXT", "x");

    EXPECT_EQ(root->hostPath("c:\\PROGRAM FILES\\acme app\\readme.txt"),
              dir_ / "prefix/dosdevices/c:/Program Files/Acme App/ReadMe.TXT");
    // New components keep the case written; "." and ".." are resolved, "/" separates too.
    EXPECT_EQ(root->hostPath("C:/program files/./New\\..\\New Dir\\File.Txt"),
              dir_ / "prefix/dosdevices/c:/Program Files/New Dir/File.Txt");
    EXPECT_EQ(root->hostPath("\\windows"), dir_ / "prefix/dosdevices/c:/windows");
    EXPECT_EQ(root->hostPath("system32", "C:\\Windows"),
              dir_ / "prefix/dosdevices/c:/windows/system32");
    EXPECT_EQ(root->hostPath("\\\\?\\C:\\..\\..\\users"), dir_ / "prefix/dosdevices/c:/users");
    EXPECT_EQ(root->hostPath("\\\\server\\share\\x"),
              dir_ / "prefix/dosdevices/unc/server/share/x");
    EXPECT_EQ(root->hostPath("Q:\\x"), std::nullopt);
    EXPECT_EQ(root->profileFile("system.ini"), dir_ / "prefix/dosdevices/c:/windows/system.ini");

    EXPECT_EQ(root->windowsPath(driveC / "Program Files/Acme App"), "C:\\Program Files\\Acme App");
    EXPECT_EQ(root->windowsPath(driveC), "C:\\");
    EXPECT_EQ(root->windowsPath("/usr/share/doc"), "Z:\\usr\\share\\doc");
    EXPECT_EQ(root->windowsPath("/"), "Z:\\");
    {
        test::ScopedCurrentDir cwd(driveC / "windows");
        EXPECT_EQ(root->windowsPath("system32/../inf"), "C:\\windows\\inf");
    }
    // A deeper drive link wins over C: and Z:.
    fs::create_directory_symlink(driveC / "Program Files", dir_ / "prefix/dosdevices/p:");
    EXPECT_EQ(root->windowsPath(driveC / "Program Files/Acme App"), "P:\\Acme App");
}

// Windows paths are the installer's code-page bytes, host paths UTF-8.
TEST_F(MachineRootTest, WindowsPathsAreTextInTheRootsCodePage) {
    auto root = openRoot();
    const fs::path driveC = dir_ / "prefix/drive_c";
    fs::create_directories(driveC / "Program Files/Gr\u00f6\u00dfe");
    const std::string windows1252 =
        "C:\\Program Files\\Gr\xf6\xdf"
        "e";
    EXPECT_EQ(root->hostPath(windows1252),
              dir_ / "prefix/dosdevices/c:/Program Files/Gr\u00f6\u00dfe");
    EXPECT_EQ(root->hostPath("GR\xd6\xdf"
                             "E\\x",
                             "C:\\Program Files"),
              dir_ / "prefix/dosdevices/c:/Program Files/GR\u00d6\u00dfE/x");  // ASCII case only
    EXPECT_EQ(root->windowsPath(driveC / "Program Files/Gr\u00f6\u00dfe"), windows1252);
    EXPECT_EQ(root->shortPath(windows1252).substr(0, 11), "C:\\PROGRA~1");

    // A root on another code page reads the same bytes as its own characters.
    const std::string nls = "System\\CurrentControlSet\\Control\\Nls\\CodePage";
    EXPECT_EQ(root->registry().createKey(RegistryRoot::LocalMachine, nls), 0);
    EXPECT_EQ(root->registry().setValue(RegistryRoot::LocalMachine, nls, "ACP",
                                        RegistryValue::text(kRegSz, "1251")),
              0);
    fs::create_directories(driveC / "\u0410\u0431");
    EXPECT_EQ(root->hostPath("C:\\\xc0\xe1"), dir_ / "prefix/dosdevices/c:/\u0410\u0431");
    EXPECT_EQ(root->windowsPath(driveC / "\u0410\u0431"), "C:\\\xc0\xe1");

    const std::string key =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    EXPECT_EQ(root->registry().createKey(RegistryRoot::CurrentUser, key), 0);
    EXPECT_EQ(root->registry().setValue(RegistryRoot::CurrentUser, key, "Personal",
                                        RegistryValue::text(kRegSz, "C:\\\u0410\u0431")),
              0);
    EXPECT_EQ(root->shellFolder(ShellFolder::Personal, false), "C:\\\xc0\xe1");
}

// A login name beyond ASCII: a UTF-8 folder on the host, code-page text in Windows paths.
TEST_F(MachineRootTest, TheUserNameCrossesIntoTheCodePage) {
    auto opened = MachineRoot::open(dir_ / "prefix", {"j\u00fcrgen", dir_ / "servers"});
    ASSERT_TRUE(opened.has_value()) << (opened ? "" : opened.error());
    const MachineRoot& root = **opened;
    const std::string profile = "C:\\users\\j\xfcrgen";
    EXPECT_EQ(root.profileDirectory(), profile);
    EXPECT_EQ(root.shellFolder(ShellFolder::Desktop, false), profile + "\\Desktop");
    EXPECT_EQ(root.shellFolder(ShellFolder::AppData, false), profile + "\\AppData\\Roaming");
    EXPECT_EQ(root.hostPath(root.profileDirectory()),
              dir_ / "prefix/dosdevices/c:/users/j\u00fcrgen");
    EXPECT_TRUE(fs::is_directory(dir_ / "prefix/drive_c/users/j\u00fcrgen"));
    // The registry side stays UTF-8.
    EXPECT_EQ(root.expandRootEnvironment("%USERPROFILE%"), "C:\\users\\j\u00fcrgen");
}

TEST_F(MachineRootTest, ShortPathsAreDeterministic) {
    auto root = openRoot();
    const fs::path driveC = dir_ / "prefix/drive_c";
    fs::create_directories(driveC / "Program Files (x86)");
    fs::create_directories(driveC / "Acme");
    EXPECT_EQ(root->shortPath("C:\\Program Files\\Common Files"), "C:\\PROGRA~1\\COMMON~1");
    EXPECT_EQ(root->shortPath("c:\\program files (x86)\\"), "C:\\PROGRA~2\\");
    EXPECT_EQ(root->shortPath("C:\\Acme\\Not Yet There.text"), "C:\\Acme\\NOTYET~1.TEX");
    EXPECT_EQ(root->shortPath("C:\\"), "C:\\");
    // and lead back to the long names they stand for.
    const fs::path c = dir_ / "prefix/dosdevices/c:";
    EXPECT_EQ(root->hostPath("C:\\PROGRA~1\\common~1"), c / "Program Files/Common Files");
    EXPECT_EQ(root->hostPath("C:\\PROGRA~2\\NEW.TXT"), c / "Program Files (x86)/NEW.TXT");
    EXPECT_EQ(root->hostPath("C:\\ACME~1"), c / "ACME~1");  // no long name has it
}

// The root keeps what it has listed of its folders; its answers stay those of a map that
// lists afresh for every lookup, also when names come, go and change case behind its back.
TEST_F(MachineRootTest, LookupsAnswerAsAFreshListingDoes) {
    auto root = openRoot();
    const fs::path acme = dir_ / "prefix/drive_c/Acme", c = dir_ / "prefix/dosdevices/c:";
    fs::create_directories(acme);
    const WindowsPathMap fresh(root->prefix(), root->paths().codePage());
    const auto lookUp = [&](const std::string& path) {
        EXPECT_EQ(root->shortPath(path), fresh.shortPath(path)) << path;
        const auto host = root->hostPath(path);
        EXPECT_EQ(host, fresh.hostPath(path)) << path;
        return host.value_or(fs::path());
    };
    const std::string readme = "C:\\ACME\\readme.txt";
    const std::string grosse =
        "c:\\acme\\gR\xf6\xdf"
        "E.TXT";
    EXPECT_EQ(lookUp(readme), c / "Acme/readme.txt");
    EXPECT_EQ(lookUp(grosse), c / "Acme/gR\u00f6\u00dfE.TXT");

    test::writeFile(acme / "ReadMe.TXT", "x");
    test::writeFile(acme / "Gr\u00f6\u00dfe.txt", "x");
    EXPECT_EQ(lookUp(readme), c / "Acme/ReadMe.TXT");
    EXPECT_EQ(lookUp(grosse), c / "Acme/Gr\u00f6\u00dfe.txt");
    test::writeFile(acme / "README.TXT", "x");  // both stay; the first in byte order is found
    EXPECT_EQ(lookUp(readme), c / "Acme/README.TXT");

    fs::remove(acme / "README.TXT");
    fs::rename(acme / "ReadMe.TXT", acme / "Read Me Later.txt");
    EXPECT_EQ(lookUp(readme), c / "Acme/readme.txt");
    EXPECT_EQ(lookUp("C:\\acme\\README~1.TXT"), c / "Acme/Read Me Later.txt");
    fs::remove(acme / "Gr\u00f6\u00dfe.txt");
    fs::create_directory(acme / "GR\u00d6\u00dfE.TXT");  // another letter beyond ASCII
    EXPECT_EQ(lookUp(grosse), c / "Acme/gR\u00f6\u00dfE.TXT");
}

TEST(ShortName, CollisionsCountInNameOrderThenHash) {
    EXPECT_TRUE(isShortName("README.TXT"));
    EXPECT_TRUE(isShortName("readme.txt"));
    EXPECT_FALSE(isShortName("Read Me.txt"));
    EXPECT_FALSE(isShortName("a.b.c"));
    EXPECT_FALSE(isShortName("toolongname"));
    EXPECT_FALSE(isShortName("x.html"));
    EXPECT_EQ(shortNameIn({}, ".profile"), "PROFIL~1");
    EXPECT_EQ(shortNameIn({}, "a+b;c.long"), "A_B_C~1.LON");
    EXPECT_EQ(shortNameIn({}, "\xc3\xa9t\xc3\xa9 2024.doc"), "_T_202~1.DOC");

    std::vector<std::string> names;
    for (int i = 0; i < 6; ++i) names.push_back("Document number " + std::to_string(i) + ".txt");
    EXPECT_EQ(shortNameIn(names, "Document number 0.txt"), "DOCUME~1.TXT");
    EXPECT_EQ(shortNameIn(names, "document number 3.txt"), "DOCUME~4.TXT");
    const std::string fifth = shortNameIn(names, "Document number 4.txt");
    EXPECT_EQ(fifth.size(), 12u);
    EXPECT_EQ(fifth.substr(0, 2), "DO");
    EXPECT_EQ(fifth.substr(6), "~1.TXT");
    EXPECT_NE(shortNameIn(names, "Document number 5.txt"), fifth);
    // A short name already taken by a real 8.3 entry is skipped.
    EXPECT_EQ(shortNameIn({"DOCUME~1.TXT", "Document one.txt"}, "Document one.txt"),
              "DOCUME~2.TXT");
    // Order does not depend on the order of the listing.
    EXPECT_EQ(shortNameIn({"b long name", "A long name"}, "b long name"),
              shortNameIn({"A long name", "b long name"}, "b long name"));
}

TEST_F(MachineRootTest, ShellFoldersFollowTheRegistryElseTheLayout) {
    auto root = openRoot();
    EXPECT_EQ(root->shellFolder(ShellFolder::Desktop, false), "C:\\users\\alice\\Desktop");
    EXPECT_EQ(root->shellFolder(ShellFolder::Programs, true),
              "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs");
    EXPECT_EQ(root->shellFolder(ShellFolder::NetHood, true),
              "C:\\users\\alice\\AppData\\Roaming\\Microsoft\\Windows\\Network Shortcuts");
    const std::string key =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    EXPECT_EQ(root->registry().createKey(RegistryRoot::CurrentUser, key), 0);
    EXPECT_EQ(
        root->registry().setValue(RegistryRoot::CurrentUser, key, "Personal",
                                  RegistryValue::text(kRegExpandSz, "%USERPROFILE%\\My Files\\")),
        0);
    EXPECT_EQ(root->shellFolder(ShellFolder::Personal, false), "C:\\users\\alice\\My Files");
    EXPECT_EQ(root->expandRootEnvironment("%WinDir%;%nope%;%APPDATA%%"),
              "C:\\windows;%nope%;C:\\users\\alice\\AppData\\Roaming%");
    // 95/98 have no all-users folders.
    setWineVersion(*root, "win95");
    EXPECT_EQ(root->shellFolder(ShellFolder::Desktop, true), "C:\\users\\alice\\Desktop");
}

TEST_F(MachineRootTest, DefaultPrefixFollowsWinePrefix) {
    {
        test::ScopedEnv prefix("WINEPREFIX", (dir_ / "p").string());
        EXPECT_EQ(MachineRoot::defaultPrefix(), dir_ / "p");
    }
    test::ScopedEnv unset("WINEPREFIX", std::nullopt);
    test::ScopedEnv home("HOME", dir_.path().string());
    EXPECT_EQ(MachineRoot::defaultPrefix(), dir_ / ".wine");
    // A prefix that cannot be created is an error, not a crash.
    test::writeFile(dir_ / "file", "x");
    auto root = MachineRoot::open(dir_ / "file/prefix", {"bob", dir_ / "servers"});
    ASSERT_FALSE(root.has_value());
    EXPECT_NE(root.error().find("file/prefix"), std::string::npos);
}

}  // namespace
}  // namespace kestrel::platform
