#include "Invocation.h"

#include <array>

#include "platform/AsciiCase.h"

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

std::string trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

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
        std::string value = trimmed(std::string_view(argv[i]).substr(found->name.size()));
        if (value.empty() && i + 1 < argv.size() && !argv[i + 1].starts_with('-')) {
            value = trimmed(argv[++i]);
        }
        invocation.*(found->field) = std::move(value);
    }
    return invocation;
}

}  // namespace kestrel::rmviewer
