#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "messages/StringTable.h"
#include "platform/CodePage.h"

namespace kestrel::setup::copy {

// What the replacement questions and the runtime check show of a file's version resource,
// as the installer's text (the root's code page).
struct VersionFacts {
    std::uint64_t version = 0;  // the fixed information's file version
    int operatingSystem = 0;    // 16, 32 or 0 (unknown), from the file-OS field
    std::string versionText;    // FileVersion
    std::string description;    // FileDescription
    std::string language;       // the system's name of the block's language
    std::string charset;        // the name of the block's code page (strings 5013-5029)
    std::uint16_t languageId = 0;
    std::uint16_t codePage = 0;
};

// Whether both files speak the same language in the same code page. Compared by number, not
// by name: languages the system has no name for all read "Unknown language".
bool sameLanguage(const VersionFacts& a, const VersionFacts& b);

// The facts of the block the installer reads (the first translation, else 040904E4);
// nullopt when the file has no version information.
std::optional<VersionFacts> readVersionFacts(const std::filesystem::path& file,
                                             const StringTable& strings,
                                             const platform::CodePage& codePage);

// The name strings 5013-5029 give a code page; a code page they do not name is shown as its
// number, so that two different ones never look alike.
std::string charsetName(unsigned codePage, const StringTable& strings);

// "Windows (16 Bit)", "Windows (32 Bit)" or "Unknown".
std::string operatingSystemName(int operatingSystem, const StringTable& strings);

}  // namespace kestrel::setup::copy
