#include "wizard/PromptAnswers.h"

#include <algorithm>

#include "platform/AsciiCase.h"

namespace kestrel::setup {

void PromptAnswers::put(std::string_view name, std::string value, bool fromFallback) {
    for (PromptAnswer& entry : entries_) {
        if (platform::equalsIgnoreAsciiCase(entry.name, name)) {
            entry.value = std::move(value);
            entry.fromFallback = fromFallback;
            return;
        }
    }
    entries_.push_back({std::string(name), std::move(value), fromFallback});
}

const PromptAnswer* PromptAnswers::find(std::string_view name) const {
    const auto it = std::ranges::find_if(entries_, [name](const PromptAnswer& entry) {
        return platform::equalsIgnoreAsciiCase(entry.name, name);
    });
    return it == entries_.end() ? nullptr : &*it;
}

}  // namespace kestrel::setup
