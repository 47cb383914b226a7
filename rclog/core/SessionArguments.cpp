#include "SessionArguments.h"

#include <cstdio>
#include <limits>

#include "TextLimit.h"
#include "platform/AsciiCase.h"
#include "platform/CommandLine.h"

namespace kestrel::rclog {

namespace {

bool hasSwitch(const std::string& entry, const char* name) {
    return entry.size() >= 2 && platform::equalsIgnoreAsciiCase(entry.substr(0, 2), name);
}

bool contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

SessionArguments::SessionArguments(std::vector<std::string> entries)
    : entries_(std::move(entries)) {
    // Every entry counts, argument 0 included; the last of a kind wins.
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const int index = static_cast<int>(i);
        if (hasSwitch(entries_[i], "-w")) target_ = index;
        if (hasSwitch(entries_[i], "-c")) action_ = index;
        if (hasSwitch(entries_[i], "-n")) tree_ = index;
    }
}

std::string SessionArguments::fieldOf(int index, std::size_t limit) const {
    if (index == kNoEntry) return kUnknown;
    std::string value = entries_[static_cast<std::size_t>(index)].substr(2);
    const std::size_t begin = value.find_first_not_of(" \t");
    const std::size_t end = value.find_last_not_of(" \t\r\n");
    value = (begin == std::string::npos || end < begin) ? "" : value.substr(begin, end - begin + 1);
    return limitText(std::move(value), limit);
}

std::string SessionArguments::target() const {
    return fieldOf(target_, kTargetLimit);
}

std::string SessionArguments::action() const {
    return fieldOf(action_, kActionLimit);
}

std::string SessionArguments::tree() const {
    return fieldOf(tree_, std::numeric_limits<std::size_t>::max());
}

std::string SessionArguments::summary() const {
    std::string text = "argc = " + std::to_string(count()) + "\n| ";
    for (const std::string& entry : entries_) text += entry + " | ";
    return text;
}

std::string SessionArguments::indexSummary() const {
    char text[128];
    std::snprintf(text, sizeof text,
                  "argc = %d\nActionIndex = %d\nTreeIndex = %d\nTargetIndex = %d", count(), action_,
                  tree_, target_);
    return text;
}

std::vector<std::string> SessionArguments::viewerEntries() const {
    std::vector<std::string> entries;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        // The program name follows the runtime's own rule for argument 0.
        entries.push_back(i == 0 ? platform::joinCommandLine({entries_[0]})
                                 : platform::quoteArgument(entries_[i]));
    }
    if (action_ != kNoEntry) {
        const std::string& action = entries_[static_cast<std::size_t>(action_)];
        std::string& passed = entries[static_cast<std::size_t>(action_)];
        // The viewer knows these two actions by their exact words; the tests respect case.
        if (contains(action, "Remote ") && contains(action, "Control")) {
            passed = "-c\"Remote Control\"";
        } else if (contains(action, "Remote ") && contains(action, "View")) {
            passed = "-c\"Remote View\"";
        }
    }
    if (target_ != kNoEntry)
        entries[static_cast<std::size_t>(target_)] = "-w" + platform::quotedArgument(target());
    return entries;
}

}  // namespace kestrel::rclog
