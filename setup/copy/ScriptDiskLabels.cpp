#include "copy/ScriptDiskLabels.h"

#include "messages/MessageStrings.h"

namespace kestrel::setup::copy {

std::string ScriptDiskLabels::label(const std::string& diskName) const {
    std::string key = diskName;
    const auto labelled = [&](const std::string& name) -> std::optional<std::string> {
        const auto value = script_.readValue("Disks", name);
        if (!value || trimBlanks(*value).empty()) return std::nullopt;
        return expander_.expand(*value);
    };
    if (auto found = labelled(key)) return *found;
    if (const auto blank = diskName.find(' '); blank != std::string::npos) {
        key = diskName.substr(blank + 1);
        if (auto found = labelled(key)) return *found;
    }
    return strings_.format(strings::kDiskLabel, {key});
}

}  // namespace kestrel::setup::copy
