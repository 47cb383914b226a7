#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Expected.h"

namespace kestrel::platform {

// The fixed part of a version resource (VS_FIXEDFILEINFO). Versions are 64-bit numbers,
// most significant 16 bits first: 2.0.0.1 is 0x0002'0000'0000'0001.
struct FixedFileInfo {
    static constexpr std::uint32_t kOsWindows16 = 0x1;  // VOS__WINDOWS16
    static constexpr std::uint32_t kOsWindows32 = 0x4;  // VOS__WINDOWS32

    std::uint64_t fileVersion = 0;
    std::uint64_t productVersion = 0;
    std::uint32_t fileFlagsMask = 0;
    std::uint32_t fileFlags = 0;
    std::uint32_t fileOs = 0;
    std::uint32_t fileType = 0;
    std::uint32_t fileSubtype = 0;
    std::uint64_t fileDate = 0;
};

// One entry of \VarFileInfo\Translation.
struct VersionTranslation {
    std::uint16_t language = 0;
    std::uint16_t codePage = 0;
    friend bool operator==(const VersionTranslation&, const VersionTranslation&) = default;
};

// One block of \StringFileInfo, named by language and code page ("040904E4"); its strings in
// file order, as UTF-8.
struct VersionStringTable {
    std::string name;
    std::vector<std::pair<std::string, std::string>> strings;
};

// The version resource (VS_VERSION_INFO) of a Windows program or library: 32- and 64-bit PE
// files and 16-bit NE files. Everything is read with bounds checks, since the files come from
// installation media: a truncated or corrupt file has no version information, never more.
class VersionInfo {
  public:
    // The resource of the file, or why it has none ("no version resource", "not a Windows
    // program or library", "cannot read ...", "corrupt ...").
    static Expected<VersionInfo, std::string> read(const std::filesystem::path& file);
    // The resource's own bytes (the data of resource type 16). `wide` is false for the
    // 16-bit form, whose keys and strings are single-byte text in the code page that names
    // the string block.
    static Expected<VersionInfo, std::string> parse(std::span<const std::byte> resource,
                                                    bool wide = true);

    const FixedFileInfo& fixed() const { return fixed_; }
    const std::vector<VersionTranslation>& translations() const { return translations_; }
    const std::vector<VersionStringTable>& stringTables() const { return tables_; }

    // The string `name` of the block for that language and code page (block names compared
    // without regard to case), as UTF-8.
    std::optional<std::string> string(VersionTranslation translation, std::string_view name) const;
    // The block a caller reads when it has no language of its own: the first translation,
    // else English (US) in Windows-1252, 040904E4.
    VersionTranslation defaultTranslation() const;

  private:
    FixedFileInfo fixed_;
    std::vector<VersionTranslation> translations_;
    std::vector<VersionStringTable> tables_;
};

// "%d.%02d.%02d.%02d" of the four parts, the way the installer shows numeric versions.
std::string versionText(std::uint64_t version);

}  // namespace kestrel::platform
