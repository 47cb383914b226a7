#include "copy/VersionFacts.h"

#include <iterator>

#include "messages/MessageStrings.h"
#include "platform/LanguageNames.h"
#include "platform/VersionInfo.h"

namespace kestrel::setup::copy {

namespace {

int operatingSystemOf(std::uint32_t fileOs) {
    if (fileOs & platform::FixedFileInfo::kOsWindows16) return 16;
    if (fileOs & platform::FixedFileInfo::kOsWindows32) return 32;
    return 0;
}

}  // namespace

std::optional<VersionFacts> readVersionFacts(const std::filesystem::path& file,
                                             const StringTable& strings,
                                             const platform::CodePage& codePage) {
    const auto info = platform::VersionInfo::read(file);
    if (!info) return std::nullopt;
    const platform::VersionTranslation block = info->defaultTranslation();
    const auto text = [&](std::string_view name) {
        return codePage.fromUtf8(info->string(block, name).value_or(""));
    };
    VersionFacts facts;
    facts.version = info->fixed().fileVersion;
    facts.operatingSystem = operatingSystemOf(info->fixed().fileOs);
    facts.versionText = text("FileVersion");
    facts.description = text("FileDescription");
    facts.language = codePage.fromUtf8(platform::languageName(block.language));
    facts.charset = charsetName(block.codePage, strings);
    facts.languageId = block.language;
    facts.codePage = block.codePage;
    return facts;
}

bool sameLanguage(const VersionFacts& a, const VersionFacts& b) {
    return a.languageId == b.languageId && a.codePage == b.codePage;
}

std::string charsetName(unsigned codePage, const StringTable& strings) {
    for (std::size_t index = 0; index < std::size(kCharsetCodePages); ++index) {
        if (kCharsetCodePages[index] == codePage) {
            return strings.text(strings::kFirstCharset + static_cast<int>(index));
        }
    }
    return std::to_string(codePage);
}

std::string operatingSystemName(int operatingSystem, const StringTable& strings) {
    if (operatingSystem == 0) return strings.text(strings::kUnknownSystem);
    return strings.format(strings::kWindowsBits, {operatingSystem});
}

}  // namespace kestrel::setup::copy
