#include "Invocation.h"

#include <array>

#include "platform/AsciiCase.h"
#include "platform/WindowsPathText.h"

namespace kestrel::rmviewer {

namespace {

using Field = std::optional<std::string> Invocation::*;

struct Switch {
    std::string_view name;
    Field field;
};

// "-ip" before the one-letter switches, so that no prefix hides a longer switch.
constexpr std::array<Switch, 5> kSwitches{{
    {"-ip", &Invocation::inventoryServer},
    {"-w", &Invocation::target},
    {"-n", &Invocation::tree},
    {"-c", &Invocation::function},
    {"-s", &Invocation::product},
}};

const Switch* switchOf(std::string_view argument) {
    for (const Switch& candidate : kSwitches) {
        if (argument.size() >= candidate.name.size() &&
            platform::equalsIgnoreAsciiCase(argument.substr(0, candidate.name.size()),
                                            candidate.name)) {
            return &candidate;
        }
    }
    return nullptr;
}

}  // namespace

Invocation parseInvocation(const std::vector<std::string>& argv) {
    Invocation invocation;
    if (!argv.empty()) {
        invocation.startedAs = fileNameOf(argv.front());
        invocation.program = programForName(invocation.startedAs);
    }
    for (std::size_t i = 1; i < argv.size(); ++i) {
        const Switch* found = switchOf(argv[i]);
        if (found == nullptr) {
            invocation.unrecognised.push_back(argv[i]);
            continue;
        }
        std::string value(
            platform::trimWhitespace(std::string_view(argv[i]).substr(found->name.size())));
        if (value.empty() && i + 1 < argv.size() && !argv[i + 1].starts_with('-')) {
            value = platform::trimWhitespace(argv[++i]);
        }
        invocation.*(found->field) = std::move(value);
    }
    return invocation;
}

}  // namespace kestrel::rmviewer
