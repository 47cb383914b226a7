// Whole runs of scripts written as their authors write them: commands on an application
// folder below "Program Files (x86)", link sections per component, included registry and INI
// sections, and a user's installation from the copy an administrator installation left.
#include <gtest/gtest.h>

#include <functional>

#include "MachineSnapshot.h"
#include "TestSupport.h"
#include "WorkRunFixture.h"
#include "platform/ProfileFunctions.h"
#include "platform/ShellLink.h"

namespace kestrel::setup::test {
namespace {

using platform::RegistryRoot;

const char* const kHeadKeys =
    "ProductName=Acme Tools\nVersion=2.0\nMachineKeyName=Acme\\Tools\\2.0\n";

class AuthoredScriptRun : public WorkRunFixture {
  protected:
    bool runSilently(const std::string& script, bool uninstall = false) {
        startRun(script, [uninstall](RunState& run) {
            run.silent = true;
            run.uninstall = uninstall;
        });
        return wizardAndWork();
    }
    // Installs silently, lets `installed` look, uninstalls silently: the root is as it was.
    void silentRoundTrip(const std::string& script, const std::function<void()>& installed) {
        sources();
        const MachineSnapshot before = MachineSnapshot::take(*machine_);
        ASSERT_TRUE(runSilently(script));
        installed();
        ASSERT_TRUE(runSilently(script, true));
        EXPECT_EQ(before.differencesTo(MachineSnapshot::take(*machine_)), "");
    }
    bool exists(const std::string& windowsPath) { return fs::exists(host(windowsPath)); }
    // The link sections in the order the run worked on them.
    std::vector<std::string> linkSections() const {
        std::vector<std::string> sections;
        for (const std::string& progress : ui_.progress) {
            const std::size_t at = progress.find("| Shell:");
            if (at != std::string::npos) sections.push_back(progress.substr(at + 2));
        }
        return sections;
    }
};

// The application folder the person chose holds blanks and parentheses: every command that
// names it acts on it, not on "C:\Program" (which holds a file of its own that must survive),
// the Readme and Execute programs get it as one argument, and the uninstallation takes it all
// away again.
TEST_F(AuthoredScriptRun, CommandsActOnAnApplicationFolderWithBlanks) {
    const std::string script =
        std::string(kHeadKeys) +
        "AskDir=1\nReadme=notepad %App%\\a.txt\nExecute=%App%\\tool.exe /first\n"
        "[Options]\nBase=Base,DEFAULT,,\n"
        "[Base]\n0:a.txt,a.txt,,4\nMD %App%\\Logs\nCopy %App%\\a.txt %App%\\Logs\\copy.txt\n"
        "Ren %App%\\Logs\\copy.txt renamed.txt\nMD %App%\\Cache\nDelTree %App%\\Cache\n"
        "If DoesFileExist(%App%\\a.txt) == 1 Then Found Else Missing\n"
        "Call %App%\\tool.exe /quiet\n"
        "[Found]\nMD %App%\\Found\n[Missing]\nMD %App%\\Missing\n";
    const std::string app = "C:\\Program Files (x86)\\Acme Tools";
    sources();
    fs::create_directories(host("C:\\Program Files (x86)"));  // as a 64-bit Windows has it
    fs::create_directories(host("C:\\Program"));
    kestrel::test::writeFile(host("C:\\Program") / "keep.txt", "someone else's");
    const MachineSnapshot before = MachineSnapshot::take(*machine_);

    startRun(script);
    ui_.answerPage({PageResult::Next, {app}});
    ui_.answerPage({PageResult::Next, {}});
    ASSERT_TRUE(wizardAndWork());
    EXPECT_TRUE(ui_.shown.empty()) << ui_.shown.front().box.text;
    EXPECT_EQ(kestrel::test::readFile(host(app + "\\Logs\\renamed.txt")), "base");
    EXPECT_FALSE(exists(app + "\\Logs\\copy.txt"));
    EXPECT_FALSE(exists(app + "\\Cache"));
    EXPECT_TRUE(exists(app + "\\Found"));
    EXPECT_FALSE(exists(app + "\\Missing"));
    EXPECT_EQ(starter_->commandLines(),
              (std::vector<std::string>{"\"" + app + "\\tool.exe\" /quiet",
                                        "notepad \"" + app + "\\a.txt\"",
                                        "\"" + app + "\\tool.exe\" /first"}));
    EXPECT_EQ(kestrel::test::readFile(host("C:\\Program") / "keep.txt"), "someone else's");
    EXPECT_EQ(std::distance(fs::directory_iterator(host("C:\\Program")), {}), 1);

    startRun(script, [](RunState& run) {
        run.silent = true;
        run.uninstall = true;
    });
    session_->variables().setDirectory("App", app);  // as the records give it back
    ASSERT_TRUE(wizardAndWork());
    EXPECT_EQ(before.differencesTo(MachineSnapshot::take(*machine_)), "");
}

// Each component's own link section, or its parent's shared by the children, is worked
// through the run: parents before children when installing, children first when removing.
TEST_F(AuthoredScriptRun, ComponentsBringTheirLinkSections) {
    const std::string script =
        std::string(kHeadKeys) +
        "[Options]\nTools=Tools,DEFAULT,,\nTools\\A=A,DEFAULT,,\nTools\\B=B,DEFAULT,,\n"
        "Docs=Docs,DEFAULT,,\nUnused=Unused,0,,\n"
        "[Tools]\n0:a.txt,a.txt,,4\n[Tools\\A]\n[Tools\\B]\n[Docs]\n0:d.txt,d.txt,,4\n[Unused]\n"
        "[Shell:Tools]\nAcme\\Tools,%App%\\a.txt\n"
        "[Shell:<Tools>]\nAcme\\Tool Parts,%App%\\a.txt\n"
        "[Shell:Docs]\nAcme\\Guide,%App%\\d.txt,,,The guide\n"
        "[Shell:Unused]\nAcme\\Unused,%App%\\d.txt\n";
    silentRoundTrip(script, [&] {
        EXPECT_EQ(linkSections(),
                  (std::vector<std::string>{"Shell:Tools", "Shell:<Tools>", "Shell:Docs"}));
        const std::string folder = expand("%Programs%\\Acme\\");
        const auto guide = platform::readShellLink(host(folder + "Guide.lnk"));
        ASSERT_TRUE(guide.has_value()) << folder;
        EXPECT_EQ(guide->description, "The guide");
        EXPECT_TRUE(exists(folder + "Tools.lnk"));
        EXPECT_TRUE(exists(folder + "Tool Parts.lnk"));
        EXPECT_FALSE(exists(folder + "Unused.lnk"));
        ui_.progress.clear();
    });
    EXPECT_EQ(linkSections(),
              (std::vector<std::string>{"Shell:Docs", "Shell:<Tools>", "Shell:Tools"}));
}

// A file section that includes a registry or INI section, or whose If names one, has it done
// as its kind; an include line's flags still decide whether it applies.
TEST_F(AuthoredScriptRun, IncludedSectionsOfOtherKindsAreDoneAsTheirKind) {
    const std::string script = std::string(kHeadKeys) +
                               "[Options]\nBase=Base,DEFAULT,,\n"
                               "[Base]\n0:a.txt,a.txt,,4\n#Base.reg\n#Acme.ini\n#Admin.reg,ADMIN\n"
                               "If 1 == 1 Then Chosen.reg\n"
                               "[Base.reg]\nHKLM\\Software\\Acme:Path=%App%\n"
                               "[Acme.ini]\nSettings,Dir,%App%\n"
                               "[Admin.reg]\nHKLM\\Software\\Acme:Admin=1\n"
                               "[Chosen.reg]\nHKLM\\Software\\Acme:Chosen=yes\n";
    silentRoundTrip(script, [&] {
        EXPECT_TRUE(ui_.shown.empty()) << ui_.shown.front().box.text;
        EXPECT_TRUE(starter_->starts.empty()) << starter_->starts.front().commandLine;
        EXPECT_EQ(value(RegistryRoot::LocalMachine, "Software\\Acme", "Path"), "C:\\Acme");
        EXPECT_EQ(value(RegistryRoot::LocalMachine, "Software\\Acme", "Chosen"), "yes");
        EXPECT_EQ(value(RegistryRoot::LocalMachine, "Software\\Acme", "Admin"), "<none>");
        EXPECT_EQ(platform::getProfileString(machine_->profileFile("Acme.ini"), "Settings", "Dir",
                                             "", 256),
                  "C:\\Acme");
    });
}

// The administrator installation expands and renames what it copies to the server; a user
// installs from that copy of the script all the same.
TEST_F(AuthoredScriptRun, AUserInstallsFromTheAdministratorCopy) {
    const std::string script = std::string(kHeadKeys) +
                               "[Copy]\nServer=Server,0,,\n[Server]\n0:Setup.inf,Setup.inf\n"
                               "[Options]\nBase=Base,DEFAULT,,\n"
                               "[Base]\n0:LIB.DL_,LIB.DLL,EXPAND,7\n"
                               "0:SETUP.EX_,%Windows%\\_UnInst.exe,SETUP\n";
    source("Setup.inf", std::string(kHead) + script);
    source("LIB.DL_", "library");
    source("SETUP.EX_", "installer");
    startRun(script, [](RunState& run) {
        run.admin = true;
        run.silent = true;
    });
    ASSERT_TRUE(wizardAndWork());
    ASSERT_TRUE(exists("C:\\Acme\\LIB.DLL"));
    const std::string copy = kestrel::test::readFile(host("C:\\Acme\\Setup.inf"));
    ASSERT_EQ(copy.rfind(kHead, 0), 0u) << copy;

    // The user's run, from the server: the copy's directory is its source.
    startRun(copy.substr(std::string(kHead).size()),
             [](RunState& run) {
                 run.silent = true;
                 run.adminCopy = true;
             },
             {"/P:C:\\Acme\\"});
    session_->variables().setDirectory("App", "C:\\Local");
    ASSERT_TRUE(wizardAndWork()) << ui_.shown.front().box.text;
    EXPECT_TRUE(ui_.shown.empty()) << ui_.shown.front().box.text;
    EXPECT_EQ(kestrel::test::readFile(host("C:\\Local\\LIB.DLL")), "library");
    EXPECT_EQ(kestrel::test::readFile(host("C:\\windows\\_UnInst.exe")), "installer");
}

}  // namespace
}  // namespace kestrel::setup::test
