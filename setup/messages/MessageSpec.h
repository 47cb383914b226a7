#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::setup {

enum class MessageIcon { Stop, Question, Exclamation, Information };

struct MessageButton {
    std::string label;  // "&" marks the access key
    int id = 0;         // returned when pressed; 9 is Help, 2 is what Escape and Close press
};

// A message string taken apart: "[icon][text][Label=Number|Label=Number!...]", the bracket
// pair chosen by the string's first and third characters.
struct MessageSpec {
    char iconLetter = 'i';
    MessageIcon icon = MessageIcon::Information;
    std::string text;  // still a format: the caller's arguments go in later
    std::vector<MessageButton> buttons;
    std::size_t defaultButton = 0;  // the first button marked "!", else the first
};

// nullopt for an empty string; anything else gives a spec, however malformed (missing
// groups are empty, a box without buttons gets none).
std::optional<MessageSpec> parseMessageSpec(std::string_view message);

MessageIcon iconOfLetter(char letter);

}  // namespace kestrel::setup
