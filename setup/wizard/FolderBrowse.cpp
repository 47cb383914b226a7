#include "wizard/FolderBrowse.h"

#include <filesystem>

#include "ui/Ui.h"

namespace kestrel::setup {

namespace {

bool isBareDrive(std::string_view path) {
    if (path.size() != 2 || path[1] != ':') return false;
    const auto letter = static_cast<unsigned char>(path[0]);
    return (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
}

bool isDirectory(std::string_view windowsPath, const platform::MachineRoot& machine) {
    if (windowsPath.empty()) return false;
    const auto host = machine.hostPath(windowsPath);
    std::error_code ec;
    return host && std::filesystem::is_directory(*host, ec);
}

}  // namespace

std::string completeBareDrive(std::string_view path) {
    return isBareDrive(path) ? std::string(path) + "\\" : std::string(path);
}

std::string browseStart(std::string_view text, const platform::MachineRoot& machine) {
    std::string start(text);
    if (!isDirectory(start, machine)) {
        const std::size_t slash = start.rfind('\\');
        if (slash != std::string::npos) start.erase(slash);
    }
    return completeBareDrive(start);
}

std::optional<std::string> browseFolder(Ui& ui, const platform::MachineRoot& machine,
                                        std::string_view text) {
    std::string start = browseStart(text, machine);
    if (!isDirectory(start, machine)) start = "C:\\";
    const auto host = machine.hostPath(start);
    if (!host) return std::nullopt;
    const auto chosen = ui.chooseFolder(*host);
    if (!chosen) return std::nullopt;
    return machine.windowsPath(*chosen);
}

}  // namespace kestrel::setup
