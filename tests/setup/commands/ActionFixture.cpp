#include "ActionFixture.h"

namespace kestrel::setup::test {

void ActionFixture::SetUp() {
    start("[Disks]\n1=Product disk\n");
    actions_.start(*machine_, *session_, *copier_, inUse_, *progress_);
    useStarter(starter_);
}

void ActionFixture::useStarter(commands::ProgramStarter& programs) {
    actions_.useStarter(programs);
    table_ = {};
    commands::registerActionCommands(table_, *actions_.services);
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
