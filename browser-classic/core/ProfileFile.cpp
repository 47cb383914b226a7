#include "ProfileFile.h"

#include "nwdstype.h"
#include "platform/AsciiCase.h"
#include "platform/Places.h"
#include "platform/PrivateFiles.h"
#include "platform/ProfileFunctions.h"

namespace kestrel::classic {

namespace {

constexpr const char* kSection = "NDS Settings";
constexpr const char* kStartContext = "StartContext";
constexpr std::string_view kEditionSuffix = "-classic";

}  // namespace

std::filesystem::path profileFileFor(const std::filesystem::path& program) {
    std::string name = program.stem().string();
    if (name.size() > kEditionSuffix.size() &&
        name.compare(name.size() - kEditionSuffix.size(), kEditionSuffix.size(), kEditionSuffix) ==
            0)
        name.resize(name.size() - kEditionSuffix.size());
    if (name.empty()) name = "KESTRELSCOPE";
    return platform::configDir() / (platform::asciiUpper(name) + ".INI");
}

std::string readStartContext(const std::filesystem::path& profile) {
    return platform::getProfileString(profile, kSection, kStartContext, "", MAX_DN_BYTES);
}

bool writeStartContext(const std::filesystem::path& profile, const std::string& context) {
    // The settings are the user's own, as everything the network tools keep.
    if (platform::ensurePrivateFolder(profile.parent_path(), platform::ExistingFolder::Keep))
        return false;
    return platform::editProfile(
        profile,
        [&](platform::ProfileDocument& document) {
            return document.set(kSection, kStartContext, context);
        },
        platform::kOwnerOnlyFile);
}

}  // namespace kestrel::classic
