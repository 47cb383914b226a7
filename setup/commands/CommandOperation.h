#pragma once

#include <string>

#include "commands/CommandInterpreter.h"
#include "ops/Operation.h"

namespace kestrel::setup::commands {

// One command line of a file section as an operation. The line is kept as written and
// expanded when it runs, so that it sees what the lines before it set (Set, Prompt, CD).
class CommandOperation : public Operation {
  public:
    CommandOperation(CommandInterpreter& interpreter, std::string text)
        : interpreter_(interpreter), text_(std::move(text)) {}

    bool install(OperationContext& context) override {
        return interpreter_.execute(context, text_, Direction::Install);
    }
    bool uninstall(OperationContext& context) override {
        return interpreter_.execute(context, text_, Direction::Uninstall);
    }

  private:
    CommandInterpreter& interpreter_;
    std::string text_;
};

}  // namespace kestrel::setup::commands
