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
    removal_ = std::make_unique<copy::FileRemoval>(*machine_, inUse_, session_->messages(),
                                                   session_->run());
    links_ = std::make_unique<LinkServices>(
        *machine_, [](std::string_view) { return std::optional<std::string>(); },
        [](const fs::path&) { return platform::Expected<void, std::string>(); });
    actions_ = std::make_unique<commands::ActionServices>(
        commands::ActionServices{*copier_, *removal_, inUse_, disks_, disks_, *progress_, *links_,
                                 starter_, sound_, system_, &background_});
    commands_ =
        std::make_unique<commands::CommandRun>(context(), *reader_, *actions_, *prompts_, space);
}

}  // namespace kestrel::setup::test
