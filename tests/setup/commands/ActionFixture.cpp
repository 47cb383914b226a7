#include "ActionFixture.h"

namespace kestrel::setup::test {

void ActionFixture::SetUp() {
    start("[Disks]\n1=Product disk\n");
    removal_ = std::make_unique<copy::FileRemoval>(*machine_, inUse_, session_->messages(),
                                                   session_->run());
    links_ = std::make_unique<LinkServices>(
        *machine_, [](std::string_view) { return std::optional<std::string>(); },
        [](const fs::path&) { return platform::Expected<void, std::string>(); });
    useStarter(starter_);
}

void ActionFixture::useStarter(commands::ProgramStarter& programs) {
    services_ = std::make_unique<commands::ActionServices>(
        commands::ActionServices{*copier_, *removal_, inUse_, disks_, disks_, *progress_, *links_,
                                 programs, sound_, system_, &background_});
    table_ = {};
    commands::registerActionCommands(table_, *services_);
}

bool ActionFixture::run(const std::string& word, std::vector<std::string> arguments,
                        Direction direction, bool undo, std::optional<std::string> rest) {
    commands::CommandLine line;
    line.word = word;
    line.arguments = std::move(arguments);
    if (!rest) {
        rest.emplace();
        for (const std::string& argument : line.arguments)
            *rest += (rest->empty() ? "" : " ") + argument;
    }
    line.rest = *rest;
    line.text = word + (line.rest.empty() ? "" : " " + line.rest);
    commands::CommandCall call{context(), line, state_, direction, undo};
    const commands::CommandSpec* found = table_.find(word);
    EXPECT_NE(found, nullptr) << word;
    return found && found->handler(call);
}

fs::path ActionFixture::putHost(const fs::path& file, const std::string& content) {
    fs::create_directories(file.parent_path());
    kestrel::test::writeFile(file, content);
    return file;
}

std::vector<std::string> ActionFixture::messageTexts() const {
    std::vector<std::string> texts;
    for (const auto& shown : ui_.shown) texts.push_back(shown.box.text);
    return texts;
}

}  // namespace kestrel::setup::test
