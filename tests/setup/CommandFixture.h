#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "CopyEngineFixture.h"
#include "commands/ActionFakes.h"
#include "commands/CommandRun.h"
#include "wizard/PageHost.h"
#include "wizard/PromptAsker.h"

namespace kestrel::setup::test {

// The script commands of a run over the copy engine's fixture (script directory C:\setup,
// App C:\Acme). The disk space of a section in the pre-scan is `spaces_[section]` plus
// what its own command lines add.
class CommandFixture : public CopyEngineFixture {
  protected:
    void startCommands(const std::string& sections);
    bool run(std::string_view line, Direction direction = Direction::Install) {
        return commands_->interpreter().execute(context(), line, direction);
    }
    std::string env(std::string_view name) { return environment_.get(name).value_or("<none>"); }
    std::string currentDirectory() { return commands_->interpreter().state().currentDirectory; }

    std::map<std::string, std::uint64_t> spaces_;
    std::unique_ptr<PageHost> pages_;
    std::unique_ptr<Expander> expander_;
    PromptAnswers answers_;
    std::unique_ptr<PromptAsker> prompts_;
    RecordedActions actions_;
    RecordingStarter& starter_ = actions_.starter;
    std::unique_ptr<commands::CommandRun> commands_;
};

}  // namespace kestrel::setup::test
