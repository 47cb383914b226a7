#include "window/SettingsFile.h"

#include "platform/Places.h"
#include "platform/PrivateFiles.h"
#include "platform/ProfileFunctions.h"

namespace kestrel::browser {

namespace {

constexpr std::string_view kSection = "NDS Settings";
constexpr std::size_t kReadBufferSize = 512;

}  // namespace

SettingsFile::SettingsFile() : path_(platform::configDir() / "KESTRELSCOPE.INI") {}

std::string SettingsFile::read(std::string_view key) const {
    return platform::getProfileString(path_, kSection, key, "", kReadBufferSize);
}

bool SettingsFile::write(
    std::initializer_list<std::pair<std::string_view, std::string_view>> values) const {
    // The settings are the user's own, as everything the network tools keep.
    if (platform::ensurePrivateFolder(path_.parent_path(), platform::ExistingFolder::Keep))
        return false;
    return platform::editProfile(
        path_,
        [&](platform::ProfileDocument& document) {
            for (const auto& [key, value] : values)
                if (!document.set(kSection, key, value)) return false;
            return true;
        },
        platform::kOwnerOnlyFile);
}

}  // namespace kestrel::browser
