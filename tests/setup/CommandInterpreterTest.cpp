#include <gtest/gtest.h>

#include <utility>

#include "CopyEngineFixture.h"
#include "commands/CommandInterpreter.h"
#include "messages/MessageStrings.h"

namespace kestrel::setup::test {
namespace {

using commands::CommandCall;
using commands::CommandInterpreter;
using commands::CommandSpec;
using commands::CommandTable;
using Calls = std::vector<std::string>;

// A table of commands that only record how they were called.
class CommandInterpreterTest : public CopyEngineFixture {
  protected:
    void SetUp() override { start("[Files]\n"); }

    // A command with the flags given that records its calls and returns `result`.
    CommandSpec recording(std::initializer_list<bool CommandSpec::*> flags, bool result = true) {
        CommandSpec spec;
        for (bool CommandSpec::*flag : flags) spec.*flag = true;
        spec.handler = [this, result](CommandCall& call) {
            std::string entry = call.line.word;
            for (const std::string& argument : call.line.arguments) entry += ' ' + argument;
            if (call.undo) entry += " (undo)";
            calls_.push_back(entry);
            return result;
        };
        return spec;
    }
    CommandInterpreter interpreter(CommandTable table) {
        return CommandInterpreter(std::move(table), *progress_, "C:\\setup");
    }
    // What the line did installing, then uninstalling.
    std::pair<Calls, Calls> bothWays(CommandInterpreter& commands, std::string_view line) {
        calls_.clear();
        EXPECT_TRUE(commands.execute(context(), line, Direction::Install));
        Calls installing = std::exchange(calls_, {});
        EXPECT_TRUE(commands.execute(context(), line, Direction::Uninstall));
        return {installing, std::exchange(calls_, {})};
    }

    Calls calls_;
};

TEST_F(CommandInterpreterTest, TheMarkerDecidesTheDirectionAndCounterpartsUndo) {
    CommandTable table;
    table.add("Copy", recording({&CommandSpec::needsArgument, &CommandSpec::hasCounterpart}));
    table.add("Echo", recording({&CommandSpec::needsArgument}));
    table.add("Set", recording({&CommandSpec::needsArgument, &CommandSpec::bothDirections}));
    auto commands = interpreter(std::move(table));

    using Ways = std::pair<Calls, Calls>;
    EXPECT_EQ(bothWays(commands, "-Copy a b"), (Ways{{}, {"Copy a b"}}));
    EXPECT_EQ(bothWays(commands, "copy a b"), (Ways{{"copy a b"}, {"copy a b (undo)"}}));
    EXPECT_EQ(bothWays(commands, "Echo hi"), (Ways{{"Echo hi"}, {}}));
    EXPECT_EQ(bothWays(commands, "-Echo hi"), (Ways{{}, {"Echo hi"}}));
    EXPECT_EQ(bothWays(commands, "-Set A=1"), (Ways{{"Set A=1"}, {"Set A=1"}}));
    // No fallback: a word that is no command does nothing.
    EXPECT_EQ(bothWays(commands, "notepad readme.txt"), (Ways{{}, {}}));
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(CommandInterpreterTest, AMissingArgumentIsReportedAndTheLineSkipped) {
    CommandTable table;
    table.add("MkDir", recording({&CommandSpec::needsArgument}));
    table.add("Abort", recording({}));
    auto commands = interpreter(std::move(table));
    EXPECT_TRUE(commands.execute(context(), "MkDir  ", Direction::Install));
    EXPECT_TRUE(calls_.empty());
    ASSERT_EQ(ui_.numbers(), std::vector<int>{messages::kInvalidParameter});
    EXPECT_EQ(ui_.shown[0].box.text, "Invalid parameter in command 'MkDir  '!");
    EXPECT_TRUE(commands.execute(context(), "Abort", Direction::Install));
    EXPECT_EQ(calls_, Calls{"Abort"});
}

TEST_F(CommandInterpreterTest, TheProgressWindowShowsTheLineAndCancelStops) {
    CommandTable table;
    table.add("Wait", recording({}));
    table.add("Fail", recording({}, false));
    table.setFallback(recording({}));
    auto commands = interpreter(std::move(table));
    progress_->copying("a.txt", "C:\\Acme\\a.txt");
    EXPECT_TRUE(commands.execute(context(), "notepad \"read me.txt\"", Direction::Install));
    EXPECT_EQ(calls_, Calls{"notepad read me.txt"});
    EXPECT_EQ(progress_->view().first, "notepad \"read me.txt\"");
    EXPECT_EQ(progress_->view().second, "");
    EXPECT_EQ(progress_->view().secondLabel, "");

    EXPECT_FALSE(commands.execute(context(), "Fail", Direction::Install));
    EXPECT_FALSE(session_->run().abort);

    ui_.cancelAfterPolls = 0;
    ui_.answer({buttons::kYes});  // "Do you really want to abort the installation?"
    EXPECT_FALSE(commands.execute(context(), "Wait", Direction::Install));
    EXPECT_EQ(calls_.back(), "Wait");
    EXPECT_TRUE(session_->run().abort);
}

TEST_F(CommandInterpreterTest, ThePrescanRunsOnlyItsCommandsAndSaysNothing) {
    CommandTable table;
    table.add("Set", recording({&CommandSpec::needsArgument, &CommandSpec::bothDirections,
                                &CommandSpec::inPrescan}));
    table.add("ShowPicture", recording({&CommandSpec::pictureOrSound}));
    table.add("Echo", recording({&CommandSpec::needsArgument}));
    auto commands = interpreter(std::move(table));
    const std::size_t views = ui_.progressViews.size();
    std::uint64_t space = 0;
    for (const char* line : {"Echo x", "ShowPicture", "-Set A=1", "Set", "Rem"})
        EXPECT_TRUE(commands.prescan(context(), line, false, space)) << line;
    EXPECT_TRUE(commands.prescan(context(), "ShowPicture", true, space));
    EXPECT_EQ(calls_, (Calls{"Set A=1", "ShowPicture"}));
    EXPECT_TRUE(ui_.shown.empty());
    EXPECT_EQ(ui_.progressViews.size(), views);
}

}  // namespace
}  // namespace kestrel::setup::test
