// The reader of Quillbox.Cfg: "key = value" lines, "#" and ";" comments.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Settings.h"

namespace kestrel::rclog {

inline constexpr const char* kConfigFileName = "Quillbox.Cfg";
inline constexpr const char* kConfigErrorCaption = "Error in Quillbox.Cfg file:";
// Longest line the reader takes, without its line break.
inline constexpr std::size_t kConfigLineLimit = 499;

// Applies every line of `text` to `settings`, later lines overriding earlier ones. Returns the
// messages for the lines that were skipped, in file order, each naming its line number.
std::vector<std::string> applyConfig(std::string_view text, Settings& settings);

}  // namespace kestrel::rclog
