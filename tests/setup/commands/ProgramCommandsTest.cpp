#include <gmock/gmock.h>

#include <chrono>
#include <thread>

#include "ActionFixture.h"
#include "commands/HostProgramStarter.h"
#include "messages/MessageStrings.h"
#include "platform/ShellLink.h"

namespace kestrel::setup::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ProgramCommandsTest : public ActionFixture {
  protected:
    void SetUp() override {
        ActionFixture::SetUp();
        useStarter(host_);
    }
    // A shell script in a folder outside the root, by its Windows path (through Z:).
    std::string script(const std::string& name, const std::string& body) {
        const fs::path file = dir_ / "bin" / name;
        fs::create_directories(file.parent_path());
        kestrel::test::writeExecutable(file, "#!/bin/sh\n" + body);
        return machine_->windowsPath(file);
    }
    static bool appears(const fs::path& file) {
        for (int i = 0; i < 500 && !fs::exists(file); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return fs::exists(file);
    }

    commands::HostProgramStarter host_{*machine_};
};

TEST_F(ProgramCommandsTest, AnyOtherWordStartsAProgramWithoutWaiting) {
    const fs::path done = dir_ / "done";
    const std::string program =
        script("slow.sh", "sleep 3\necho \"$1|$2\" > '" + done.string() + "'\n");
    const auto before = std::chrono::steady_clock::now();
    ASSERT_TRUE(
        run(program, {"one", "two words"}, Direction::Install, false, "\"one\" \"two words\""));
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(2000));
    EXPECT_FALSE(fs::exists(done));
    ASSERT_TRUE(appears(done));
    EXPECT_THAT(ui_.numbers(), IsEmpty());
}

TEST_F(ProgramCommandsTest, CallWaitsInTheCurrentDirectory) {
    const std::string program = script("pwd.sh", "sleep 0.2\npwd > out.txt\n");
    fs::create_directories(host("C:\\Acme"));
    state_.currentDirectory = "C:\\Acme";
    ASSERT_TRUE(run("Call", {program}));
    EXPECT_EQ(kestrel::test::readFile(host("C:\\Acme\\out.txt")),
              fs::canonical(host("C:\\Acme")).string() + "\n");
}

TEST_F(ProgramCommandsTest, AProgramThatCannotStartSaysWhy) {
    EXPECT_FALSE(run("no-such-program-anywhere", {"readme.txt"}));
    EXPECT_FALSE(run("Call", {"C:\\nowhere\\setup.exe"}));
    fs::create_directories(host("C:\\Acme"));
    kestrel::test::writeExecutable(host("C:\\Acme\\tool.exe"), "not a program");
    EXPECT_FALSE(run("Call", {"C:\\Acme\\tool.exe", "/x"}));
    EXPECT_THAT(messageTexts(),
                ElementsAre("Cannot execute command 'no-such-program-anywhere readme.txt'.\n"
                            "Error 2!",
                            "Cannot execute command 'C:\\nowhere\\setup.exe'.\nError 3!",
                            "Cannot execute command 'C:\\Acme\\tool.exe /x'.\nError 193!"));
}

TEST_F(ProgramCommandsTest, LinksAndPifFilesStartTheirTarget) {
    const fs::path out = dir_ / "args.txt";
    const std::string program = script("args.sh", "echo \"$@\" > '" + out.string() + "'\n");
    platform::ShellLink link;
    link.target = program;
    link.arguments = "from-link";
    fs::create_directories(host("C:\\Acme"));
    ASSERT_FALSE(platform::writeShellLink(host("C:\\Acme\\Tool.lnk"), link));
    ASSERT_TRUE(run("Call", {"C:\\Acme\\Tool.lnk", "typed"}));
    EXPECT_EQ(kestrel::test::readFile(out), "from-link typed\n");

    std::string pif(0x171, '\0');
    pif.replace(0x24, program.size(), program);
    pif.replace(0xA5, 8, "from-pif");
    put("C:\\Acme\\Tool.pif", pif);
    ASSERT_TRUE(run("Call", {"C:\\Acme\\Tool.pif"}));
    EXPECT_EQ(kestrel::test::readFile(out), "from-pif\n");
}

TEST_F(ProgramCommandsTest, DocumentsOpenWithTheDesktopsOpener) {
    const fs::path opened = dir_ / "opened.txt";
    // Written aside and moved into place (PATH holds only the opener), so that the file
    // appears with its line.
    script("xdg-open", "echo \"$1\" > '" + opened.string() + ".new' && /bin/mv '" +
                           opened.string() + ".new' '" + opened.string() + "'\n");
    const kestrel::test::ScopedEnv path("PATH", (dir_ / "bin").string());
    const fs::path readme = put("C:\\Acme\\readme.txt", "Read me");
    ASSERT_TRUE(run("C:\\Acme\\readme.txt", {}));
    ASSERT_TRUE(appears(opened));
    EXPECT_EQ(kestrel::test::readFile(opened), readme.string() + "\n");

    fs::remove(dir_ / "bin" / "xdg-open");
    EXPECT_FALSE(run("C:\\Acme\\readme.txt", {}));
    EXPECT_THAT(messageTexts(),
                ElementsAre("Cannot execute command 'C:\\Acme\\readme.txt'.\nError 1155!"));
}

TEST_F(ProgramCommandsTest, ProgramWords) {
    using commands::splitProgramWord;
    EXPECT_EQ(splitProgramWord("\"C:\\Program Files\\a.exe\"  /s x").program,
              "C:\\Program Files\\a.exe");
    EXPECT_EQ(splitProgramWord("\"C:\\Program Files\\a.exe\"  /s x").arguments, "/s x");
    EXPECT_EQ(splitProgramWord("  notepad readme.txt").program, "notepad");
    EXPECT_EQ(splitProgramWord("notepad").arguments, "");
}

TEST_F(ProgramCommandsTest, DdeReachesTheProgramManager) {
    ASSERT_TRUE(run("DDE", {}, Direction::Install, false, "[CreateGroup(Acme Tools)]"));
    EXPECT_TRUE(fs::is_directory(*machine_->hostPath(
        machine_->shellFolder(platform::ShellFolder::Programs, false) + "\\Acme Tools")));

    ui_.answer({buttons::kCancel});
    EXPECT_FALSE(run("DDE", {}, Direction::Install, false, "[DeleteItem(Nothing)"));
    ui_.answer({buttons::kIgnore});
    EXPECT_TRUE(run("DDE", {}, Direction::Install, false, "[Bogus"));
    EXPECT_THAT(ui_.numbers(),
                ElementsAre(messages::kCannotExecuteDde, messages::kCannotExecuteDde));
}

class SystemCommandsTest : public ActionFixture {};

TEST_F(SystemCommandsTest, UnsupportedIsNeverASilentSuccess) {
    ui_.answer({buttons::kIgnore, buttons::kCancel});
    EXPECT_TRUE(run("AddPrinter", {"Laser,winprint,LPT1:"}));
    EXPECT_FALSE(run("StartService", {"AcmeSvc"}));
    EXPECT_THAT(messageTexts(), ElementsAre("Cannot install or remove a printer component!\n"
                                            "\nThe request is not supported.",
                                            "Cannot install or remove a printer component!\n"
                                            "\nThe request is not supported."));
}

class RecordingSystem : public commands::SystemCommands {
  public:
    std::vector<std::pair<commands::SystemCommand, std::string>> runs;
    platform::Expected<void, std::uint32_t> run(commands::SystemCommand command,
                                                std::string_view argument,
                                                OperationContext&) override {
        runs.emplace_back(command, argument);
        return {};
    }
};

TEST_F(SystemCommandsTest, CounterpartsAndDirections) {
    RecordingSystem system;
    commands::CommandTable table;
    commands::registerSystemCommands(table, system);
    const auto call = [&](const std::string& word, Direction direction, bool undo) {
        commands::CommandLine line{
            word + " Acme Printer", false, word, {"Acme", "Printer"}, "Acme Printer"};
        commands::CommandCall c{context(), line, state_, direction, undo};
        return table.find(word)->handler(c);
    };
    using commands::SystemCommand;
    EXPECT_TRUE(call("AddPrinter", Direction::Uninstall, true));
    EXPECT_TRUE(call("addservice", Direction::Install, false));
    EXPECT_TRUE(call("AddService", Direction::Uninstall, false));
    EXPECT_TRUE(call("AddEventSource", Direction::Uninstall, true));
    EXPECT_THAT(
        system.runs,
        ElementsAre(std::pair{SystemCommand::DeletePrinter, std::string("Acme Printer")},
                    std::pair{SystemCommand::AddService, std::string("Acme Printer")},
                    std::pair{SystemCommand::RemoveService, std::string("Acme Printer")},
                    std::pair{SystemCommand::RemoveEventSource, std::string("Acme Printer")}));
    EXPECT_TRUE(table.find("AddService")->bothDirections);
    EXPECT_FALSE(table.find("DeletePort")->hasCounterpart);
}

}  // namespace
}  // namespace kestrel::setup::test
