#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "platform/Expected.h"

namespace kestrel::setup::copy {

// The longest piece of a line that is expanded at once; a longer line is expanded piece by
// piece, nothing of it dropped.
inline constexpr std::size_t kReplaceLinePiece = 255;

using TextExpansion = std::function<std::string(std::string_view)>;

// The text with the variables of every line expanded; line ends stay as they were.
std::string replaceVariablesInText(std::string_view text, const TextExpansion& expand);

// Reads the file back and replaces it atomically with its lines expanded; why not when it
// could not be read or written.
[[nodiscard]] platform::Expected<void, std::string> replaceVariablesInFile(
    const std::filesystem::path& file, const TextExpansion& expand);

}  // namespace kestrel::setup::copy
