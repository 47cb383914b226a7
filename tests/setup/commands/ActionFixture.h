#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ActionFakes.h"
#include "CopyEngineFixture.h"

namespace kestrel::setup::test {

// The action commands over the copy engine's fixture, with programs, sounds and the picture
// recorded; each command is run as the interpreter runs it, with the line given in parts.
class ActionFixture : public CopyEngineFixture {
  protected:
    void SetUp() override;

    // Runs the word's handler; `rest` defaults to the arguments joined by blanks.
    bool run(const std::string& word, std::vector<std::string> arguments,
             Direction direction = Direction::Install, bool undo = false,
             std::optional<std::string> rest = std::nullopt);
    // The counterpart of a line without `-` at uninstallation.
    bool undo(const std::string& word, std::vector<std::string> arguments) {
        return run(word, std::move(arguments), Direction::Uninstall, true);
    }
    const commands::CommandSpec& spec(const std::string& word) { return *table_.find(word); }
    // A file of the root (or the host), with its directories.
    fs::path putHost(const fs::path& file, const std::string& content = "x");
    fs::path put(const std::string& windowsPath, const std::string& content = "x") {
        return putHost(host(windowsPath), content);
    }
    // The texts of the messages shown, as the person read them.
    std::vector<std::string> messageTexts() const;

    RecordedActions actions_;
    RecordingStarter& starter_ = actions_.starter;
    RecordingSound& sound_ = actions_.sound;
    RecordingBackground& background_ = actions_.background;
    RecordingDisks& disks_ = actions_.disks;
    commands::CommandTable table_;
    commands::CommandState state_{"C:\\setup"};

    // The table again, with programs started through `programs`.
    void useStarter(commands::ProgramStarter& programs);
};

}  // namespace kestrel::setup::test
