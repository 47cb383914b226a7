// Background texts as they are drawn.
#pragma once

#include <string>
#include <string_view>

#include "script/Expander.h"

namespace kestrel::setup {

// The text with its variables expanded and each backslash-n a line break. A text that shows
// "%User%" or "%Company%" loses its trailing blanks and then one final comma, so that
// "%User%, %Company%" without a company shows the user alone.
std::string prepareBackgroundText(std::string_view text, const Expander& expander);

}  // namespace kestrel::setup
