// The script's prompts: named values defined in [Prompts] (one key per prompt: text,
// default value, label, maximum length, flags, fallback value) and whether one is asked
// in this run.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script/Fields.h"

namespace kestrel::setup {

namespace prompt {
inline constexpr std::uint32_t kUpperCase = 0x1;
inline constexpr std::uint32_t kLowerCase = 0x2;
inline constexpr std::uint32_t kPassword = 0x4;
inline constexpr std::uint32_t kNumber = 0x8;
inline constexpr std::uint32_t kNonMandatory = 0x10;
inline constexpr std::uint32_t kUseDefault = 0x20;
inline constexpr std::uint32_t kDirectory = 0x40;
inline constexpr std::uint32_t kWindows = 0x80;
inline constexpr std::uint32_t kShared = 0x100;
inline constexpr std::uint32_t kWindows16 = 0x200;
inline constexpr std::uint32_t kWindows32 = 0x400;
inline constexpr std::uint32_t kDos = 0x800;
inline constexpr std::uint32_t kNt = 0x1000;
inline constexpr std::uint32_t kAdmin = 0x2000;
inline constexpr std::uint32_t kClient = 0x4000;
inline constexpr std::uint32_t kMachine = 0x8000;
inline constexpr std::uint32_t kLocalApp = 0x10000;
inline constexpr std::uint32_t kClientOnly = 0x20000;
}  // namespace prompt

const std::vector<FlagName>& promptFlagNames();

struct PromptDefinition {
    std::string name;
    std::string text;  // "\n" and "\\" already turned into a line break and a backslash
    std::string defaultValue;
    std::string label;
    std::size_t maxLength = 255;  // 1-255
    std::uint32_t flags = 0;
    std::string fallback;
    std::string unknownFlag;  // the first flag word that is none; empty when all were known

    bool has(std::uint32_t flag) const { return (flags & flag) != 0; }
};

// The definition from its (expanded) line; missing fields take their defaults.
PromptDefinition parsePromptDefinition(std::string_view name, std::string_view line);

// What decides whether a prompt is asked in a run.
struct PromptRunKind {
    bool admin = false;
    bool workstation = false;
    bool client = false;
    bool fromCD = false;
    bool perUserPart = false;
    bool systemInsideWindows = true;  // the system directory lies in the Windows directory
    int setupBits = 32;
};

bool promptApplies(std::uint32_t flags, const PromptRunKind& run);

}  // namespace kestrel::setup
