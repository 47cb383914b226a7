#pragma once

#include <string_view>

#include "copy/FileLine.h"
#include "platform/Expected.h"
#include "script/Settings.h"

namespace kestrel::setup {

// Longest source or destination a line may hold; a longer one is refused whole rather than
// cut, so that no other file is ever named by mistake.
inline constexpr std::size_t kMaxLinePath = 259;

// A flags field: a decimal number, or keywords joined by "+", "|", ")" or blanks, each looked
// up in the file-flag table and then in the attribute-flag table. A word in neither refuses
// the whole field (the message names the field's text).
[[nodiscard]] platform::Expected<LineFlags, ScriptProblem> parseLineFlags(std::string_view text);

// A line whose first character is a digit: disk and source, destination, flags, size, extra.
[[nodiscard]] platform::Expected<FileLine, ScriptProblem> parseFileLine(std::string_view text);

// A line that starts with "#".
[[nodiscard]] platform::Expected<IncludeLine, ScriptProblem> parseIncludeLine(
    std::string_view text);

// What the run adds to (and takes from) every line before it is used.
struct EngineFlagSettings {
    bool dateWarning = true;  // [Application] DateWarning
    bool sizeWarning = true;  // [Application] SizeWarning
    bool perUserPart = false;
    bool systemPlace = false;  // the destination lies in the Windows, system or common-files place
};
[[nodiscard]] LineFlags withEngineFlags(LineFlags flags, const EngineFlagSettings& settings);

}  // namespace kestrel::setup
