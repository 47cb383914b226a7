#include "CommandFixture.h"

namespace kestrel::setup::test {

void CommandFixture::startCommands(const std::string& sections) {
    commands_.reset();
    start(sections);
    pages_ = std::make_unique<PageHost>(session_->messages(), *machine_);
    expander_ = std::make_unique<Expander>(session_->expander());
    prompts_ = std::make_unique<PromptAsker>(session_->script(), *expander_, environment_,
                                             session_->registry(), *pages_, answers_);
    const auto space = [this](OperationContext& context,
                              std::string_view section) -> std::optional<std::uint64_t> {
        const auto commands = commands_->interpreter().prescanSection(context, section);
        if (!commands) return std::nullopt;
        return spaces_[std::string(section)] + *commands;
    };
    actions_.start(*machine_, *session_, *copier_, inUse_, *progress_);
    commands_ = std::make_unique<commands::CommandRun>(context(), *reader_, *actions_.services,
                                                       *prompts_, space);
}

}  // namespace kestrel::setup::test
