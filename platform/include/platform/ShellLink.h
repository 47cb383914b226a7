#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace kestrel::platform {

enum class ShowCommand : std::uint32_t { Normal = 1, Maximized = 3, MinimizedNoActive = 7 };

// A .lnk file in the binary shell-link format, as Windows programs under Wine and lnkinfo read
// it. Texts are UTF-8.
struct ShellLink {
    std::string target;            // Windows path of the target, e.g. "Z:\\home\\me\\WVIEWNT.EXE"
    std::string arguments;         // empty: none
    std::string workingDirectory;  // empty: none
    std::string description;       // empty: none
    std::string iconLocation;      // empty: none
    int iconIndex = 0;
    ShowCommand showCommand = ShowCommand::Normal;
    std::uint16_t hotKey = 0;  // low byte virtual key, high byte 1 Shift, 2 Ctrl, 4 Alt

    bool operator==(const ShellLink&) const = default;
};

// The file's bytes: the header, the target as the local base path of the link information,
// and the texts as UTF-16 string data, each part present exactly when it is not empty.
// Empty when the link cannot be represented: a text longer than 65535 UTF-16 units (the
// format counts characters in 16 bits) or a target containing a NUL character.
std::vector<std::uint8_t> encodeShellLink(const ShellLink& link);

// Writes the link, replacing `file` atomically (a new file gets `newFilePermissions`, as
// writeFileAtomically says). std::errc::value_too_large when encodeShellLink cannot represent
// it (nothing is written).
std::error_code writeShellLink(
    const std::filesystem::path& file, const ShellLink& link,
    std::optional<std::filesystem::perms> newFilePermissions = std::nullopt);

// Reads a shell link: what writeShellLink writes and links written by other programs (with a
// target ID list, ANSI strings, network targets, extra data blocks). The target comes from the
// link information (local base path or network share, each with its common path suffix);
// a link without link information has an empty target. nullopt when the file is unreadable,
// not a shell link, or malformed (a part reaching beyond the file or its enclosing block).
std::optional<ShellLink> readShellLink(const std::filesystem::path& file);
std::optional<ShellLink> decodeShellLink(const std::vector<std::uint8_t>& bytes);

}  // namespace kestrel::platform
