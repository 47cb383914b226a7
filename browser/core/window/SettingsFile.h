// KESTRELSCOPE.INI, section "NDS Settings": the start context, the start tree and the
// inventory server. Reads are cut like a 512-byte buffer would; a missing, unreadable or
// malformed file reads as empty values.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace kestrel::browser {

inline constexpr std::string_view kStartContextKey = "StartContext";
inline constexpr std::string_view kStartTreeKey = "StartTree";
inline constexpr std::string_view kInventoryServerKey = "INVServer";

class SettingsFile {
  public:
    // The per-user file in the network tools' settings folder.
    SettingsFile();
    explicit SettingsFile(std::filesystem::path path) : path_(std::move(path)) {}

    const std::filesystem::path& path() const { return path_; }
    std::string read(std::string_view key) const;
    // Sets every key in one atomic replacement of the file; false, with nothing written,
    // when it cannot be written.
    bool write(std::initializer_list<std::pair<std::string_view, std::string_view>> values) const;

  private:
    std::filesystem::path path_;
};

}  // namespace kestrel::browser
