#include "records/RecordKeys.h"

#include "platform/AsciiCase.h"
#include "script/Fields.h"

namespace kestrel::setup::records {

namespace {

constexpr std::size_t kLongestRecord = 255;

std::string_view withoutFinalBackslashes(std::string_view text) {
    while (!text.empty() && text.back() == '\\') text.remove_suffix(1);
    return text;
}

}  // namespace

std::string setupKey(std::string_view machineKeyName) {
    return "Software\\" + std::string(machineKeyName) + "\\Setup";
}

std::string setupKey(std::string_view machineKeyName, std::string_view subkey) {
    return setupKey(machineKeyName) + "\\" + std::string(subkey);
}

std::optional<std::string> productKey(std::string_view machineKeyName) {
    const std::size_t last = machineKeyName.rfind('\\');
    if (last == std::string_view::npos) return std::nullopt;
    return "Software\\" + std::string(machineKeyName.substr(0, last));
}

std::string uninstallEntryKey(std::string_view uninstallKeyName) {
    return std::string(kUninstallList) + "\\" + std::string(uninstallKeyName);
}

bool namesSubkey(std::string_view name) {
    return name.find_first_not_of('\\') != std::string_view::npos;
}

platform::RegistryRoot recordRoot(const RunState& run) {
    return run.perUserPart ? platform::RegistryRoot::CurrentUser
                           : platform::RegistryRoot::LocalMachine;
}

std::string readRecord(const RegistryServices& registry, platform::RegistryRoot root,
                       std::string_view key, std::string_view name) {
    std::string text;
    std::uint32_t type = 0;
    if (registry.readString(root, key, name, &text, &type) != 0 || text.size() > kLongestRecord)
        return {};
    return text;
}

bool readMark(const RegistryServices& registry, platform::RegistryRoot root, std::string_view key,
              std::string_view name) {
    return readNumber(readRecord(registry, root, key, name)) != 0;
}

bool sameDirectory(std::string_view a, std::string_view b) {
    return platform::equalsIgnoreAsciiCase(withoutFinalBackslashes(a), withoutFinalBackslashes(b));
}

}  // namespace kestrel::setup::records
