// The setup program on a terminal without a display, as a person runs it: every page of a
// whole installation answered at the terminal, then the product removed again; and a run
// whose terminal closes in the middle, which ends without leaving anything half done.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TerminalSession.h"
#include "TestSupport.h"

namespace kestrel::setup::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

const char* const kScript =
    "[Setup]\nVersion=5.11\n"
    "[Application]\nProductName=Acme Tools\nSetupName=Acme Tools Setup\nVersion=1.0\n"
    "MachineKeyName=Acme\\Tools\\1.0\nUninstallKeyName=Acme Tools 1.0\n"
    "UninstallDisplayName=Acme Tools 1.0\nApplicationDir=C:\\Acme\n"
    "AskLicence=1\nLicenceText=You may use Acme Tools anywhere.\n"
    "AskMode=1\nAskDir=1\nAskUser=1\nPrompts=Station,Key\n"
    "[Prompts]\nStation=Name of this station:,Harbour,Station:,40,NORMAL,\n"
    "Key=The licence key:,,Key:,20,PASSWORD,\n"
    "[Copy]\nSettings.reg=Settings,COPYALWAYS,,The station's name\n"
    "[Options]\nProgram=Program,DEFAULT,,The program\n"
    "Lang=Languages,DEFAULT,,The language of its messages\n"
    "Lang\\En=English,DEFAULT,,\nLang\\De=German,0,,\n"
    "Docs=Manual,0,,The manual\n"
    "[OptionGroups]\n1=Lang\\*\n"
    "[Settings.reg]\nHKLM\\Software\\Acme\\Tools:Station=%Station%\n"
    "[Program]\n0:ACME.TXT,ACME.TXT,,4\n"
    "[Lang\\En]\n0:EN.TXT,MESSAGES.TXT,,2\n"
    "[Lang\\De]\n0:DE.TXT,MESSAGES.TXT,,2\n"
    "[Docs]\n0:GUIDE.TXT,GUIDE.TXT,,5\n";

class ConsoleRun : public ::testing::Test {
  protected:
    ConsoleRun() {
        std::filesystem::create_directories(dir_ / "disk");
        kestrel::test::writeFile(dir_ / "disk/Setup.inf", kScript);
        kestrel::test::writeFile(dir_ / "disk/ACME.TXT", "acme");
        kestrel::test::writeFile(dir_ / "disk/EN.TXT", "en");
        kestrel::test::writeFile(dir_ / "disk/DE.TXT", "de");
        kestrel::test::writeFile(dir_ / "disk/GUIDE.TXT", "guide");
    }

    // The program on a terminal of its own, without Wine on its PATH (a new root is the
    // skeleton) and without a display.
    std::unique_ptr<TerminalSession> start(const std::vector<std::string>& arguments) {
        TerminalSession::Start how;
        how.argv = {SETUP_PROGRAM};
        how.argv.insert(how.argv.end(), arguments.begin(), arguments.end());
        how.directory = dir_ / "disk";
        how.environment = {{"WINEPREFIX", (dir_ / "prefix").string()},
                           {"PATH", "/nonexistent"},
                           {"HOME", (dir_ / "home").string()}};
        how.unset = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
        auto session = std::make_unique<TerminalSession>(how);
        EXPECT_TRUE(session->started());
        return session;
    }
    // Waits for the question and answers it.
    static void answer(TerminalSession& terminal, std::string_view question,
                       std::string_view typed) {
        ASSERT_TRUE(terminal.waitFor(question)) << "no \"" << question << "\" in\n"
                                                << terminal.output();
        terminal.type(typed);
    }
    std::filesystem::path installed(const std::string& name) const {
        return dir_ / "prefix/drive_c/Tools" / name;
    }

    kestrel::test::TempDir dir_;
};

TEST_F(ConsoleRun, EveryPageIsAnsweredAtTheTerminalThenTheProductIsRemoved) {
    auto terminal = start({"Setup.inf"});
    ASSERT_TRUE(terminal->waitFor("You may use Acme Tools anywhere.\n")) << terminal->output();
    answer(*terminal, "Answer (y, n; Enter: Yes): ", "y");
    ASSERT_TRUE(terminal->waitFor("  1 ( ) Full installation  11 Bytes\n"));
    answer(*terminal, "Answer (1-3 chooses and goes on, b, n, c; Enter: Next >): ", "3");
    answer(*terminal, "  Directory [C:\\Acme]: ", "C:\\Tools");
    answer(*terminal, "Enter: Next >): ", "");
    answer(*terminal, "  Name [", " ");  // a blank empties the login name offered
    answer(*terminal, "  Company: ", "Acme Corp");
    answer(*terminal, "Enter: Next >): ", "");
    ASSERT_TRUE(terminal->waitFor("  Name must not be empty.\n")) << terminal->output();
    answer(*terminal, "  Name: ", "Ada");
    answer(*terminal, "  Company [Acme Corp] (a blank empties it): ", "");
    answer(*terminal, "Enter: Next >): ", "");
    answer(*terminal, "Name of this station:\n  Station [Harbour]: ", "Pier 7");
    answer(*terminal, "Enter: Next >): ", "");
    // Asked once the terminal no longer echoes.
    answer(*terminal, "  Key: ", "s3cret");
    answer(*terminal, "Enter: Next >): ", "");
    // The components: the manual on, German instead of English, Finish.
    answer(*terminal, "  3 [ ] Manual\n", "3");
    answer(*terminal, "  3 [x] Manual\n", "d2");
    answer(*terminal, "Details of Languages:\n", "2");
    answer(*terminal, "  2 (*) German\n", "");
    answer(*terminal, "Enter: Finish): ", "");
    ASSERT_TRUE(terminal->waitFor("Installation successfully completed.")) << terminal->output();
    EXPECT_EQ(terminal->finish(), 0) << terminal->output();
    EXPECT_THAT(terminal->output(), Not(HasSubstr("s3cret")));
    // Making the new prefix was said, once.
    const std::string output = terminal->output();
    const std::string preparing =
        "Preparing the Windows environment in " + (dir_ / "prefix").string() + "\n";
    const std::size_t said = output.find(preparing);
    EXPECT_NE(said, std::string::npos) << output;
    EXPECT_EQ(output.find(preparing, said + 1), std::string::npos) << output;

    EXPECT_EQ(kestrel::test::readFile(installed("ACME.TXT")), "acme");
    EXPECT_EQ(kestrel::test::readFile(installed("MESSAGES.TXT")), "de");
    EXPECT_EQ(kestrel::test::readFile(installed("GUIDE.TXT")), "guide");
    const std::string machine = kestrel::test::readFile(dir_ / "prefix/system.reg");
    EXPECT_THAT(machine, HasSubstr("\"Station\"=\"Pier 7\""));
    EXPECT_THAT(machine, HasSubstr("\"RegisteredOwner\"=\"Ada\""));

    auto removal = start({"/U", "Setup.inf"});
    answer(*removal, "The application 'Acme Tools' will be removed from your hard disk.", "y");
    ASSERT_TRUE(removal->waitFor("Uninstallation complete.")) << removal->output();
    EXPECT_EQ(removal->finish(), 0) << removal->output();
    EXPECT_THAT(removal->output(), Not(HasSubstr("Preparing the Windows environment")));
    EXPECT_FALSE(std::filesystem::exists(installed("ACME.TXT")));
    EXPECT_FALSE(std::filesystem::exists(installed("GUIDE.TXT")));
    EXPECT_THAT(kestrel::test::readFile(dir_ / "prefix/system.reg"), Not(HasSubstr("Pier 7")));
}

TEST_F(ConsoleRun, ATerminalThatClosesOnAPageEndsTheRunBeforeAnyWork) {
    auto terminal = start({"Setup.inf"});
    answer(*terminal, "Answer (y, n; Enter: Yes): ", "y");
    ASSERT_TRUE(terminal->waitFor("Enter: Next >): "));
    terminal->endInput();
    ASSERT_TRUE(
        terminal->waitFor("Setup cannot wait for an answer: the terminal's input has "
                          "ended. The installation ends here"))
        << terminal->output();
    EXPECT_EQ(terminal->finish(), 255) << terminal->output();
    EXPECT_FALSE(std::filesystem::exists(dir_ / "prefix/drive_c/Acme"));
    EXPECT_THAT(kestrel::test::readFile(dir_ / "prefix/system.reg"), Not(HasSubstr("Acme")));
}

}  // namespace
}  // namespace kestrel::setup::test
