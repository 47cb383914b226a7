#include "ServiceFixture.h"

namespace kestrel::setup::test {

platform::Expected<WineOutcome, std::string> FakeWine::run(
    const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) line += (line.empty() ? "" : " ") + argument;
    calls.push_back(line);
    const auto found = answers.find(line);
    if (found == answers.end() || found->second.empty()) return WineOutcome{};
    auto answer = found->second.front();
    if (found->second.size() > 1) found->second.pop_front();
    return answer;
}

WineOutcome FakeWine::state(int number) {
    return {0,
            "SERVICE_NAME: x\r\n        TYPE               : 10  WIN32_OWN_PROCESS\r\n"
            "        STATE              : " +
                std::to_string(number) + "  SOMETHING\r\n"};
}

SystemServices& ServiceFixture::start(const std::string& script) {
    load(script);
    progress_ = std::make_unique<ProgressWindow>(session_->messages(), session_->run());
    services_ = std::make_unique<SystemServices>(SystemServices{context(), starter_, *progress_});
    return *services_;
}

}  // namespace kestrel::setup::test
