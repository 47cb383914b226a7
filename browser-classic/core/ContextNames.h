// Rules for the texts that name a start context: the prefixes accepted where, their
// normalisation, the start context of a command line and the top item's image.
#pragma once

#include <string>
#include <string_view>

namespace kestrel::classic {

inline constexpr std::string_view kRootName = "[Root]";

// "ou=", "o=", "l=", "s=", "c=" become upper case wherever they occur, in this order.
std::string normalizePrefixes(std::string text);

// The dialogs accept a context beginning with "[Root]", "C=", "L=", "S=", "O=" or "OU=".
bool hasContextPrefix(std::string_view text);

// The command line accepts the same except "S=".
bool hasCommandLinePrefix(std::string_view text);

// Everything before the first "/" less the character in front of it (normally a blank);
// the whole line when it holds no "/".
std::string commandLineStartContext(std::string_view commandLine);

// One level up: the text after the first full stop, "[Root]" when there is none.
std::string parentContext(std::string_view context);

// Image of the top item for a start context; the class codes double as image indexes.
int topItemImage(std::string_view context);

bool startsWith(std::string_view text, std::string_view prefix);
bool contains(std::string_view text, std::string_view part);

}  // namespace kestrel::classic
