#include <cstdint>

#include "platform/AtomicFile.h"
#include "platform/FileLock.h"
#include "platform/Places.h"
#include "platform/ProfileFunctions.h"

namespace kestrel::platform {

namespace {

ProfileDocument loadDocument(const std::filesystem::path& file) {
    return ProfileDocument::parse(readWholeFile(file).value_or(std::string()));
}

std::string truncateTo(std::string text, std::size_t bufferSize) {
    if (bufferSize == 0) return {};
    if (text.size() > bufferSize - 1) text.resize(bufferSize - 1);
    return text;
}

// Integer parsing of the NT runtime (RtlUnicodeStringToInteger, base 10): leading control
// characters and blanks skipped, one sign, digits until anything else, wrapping arithmetic.
std::uint32_t parseWindowsDecimal(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && static_cast<unsigned char>(text[pos]) <= ' ') ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    std::uint32_t value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        value = value * 10u + static_cast<std::uint32_t>(text[pos] - '0');
    }
    return negative ? 0u - value : value;
}

// Deletions must not create a file (or its directory) that is not there.
bool editExistingProfile(const std::filesystem::path& file,
                         const std::function<bool(ProfileDocument&)>& edit) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return !ec;
    return editProfile(file, edit);
}

}  // namespace

std::string getProfileString(const std::filesystem::path& file, std::string_view section,
                             std::string_view key, std::string_view defaultValue,
                             std::size_t bufferSize) {
    if (auto value = loadDocument(file).get(section, key)) {
        return truncateTo(std::move(*value), bufferSize);
    }
    const std::size_t end = defaultValue.find_last_not_of(' ');
    return truncateTo(std::string(defaultValue.substr(0, end == defaultValue.npos ? 0 : end + 1)),
                      bufferSize);
}

unsigned getProfileInt(const std::filesystem::path& file, std::string_view section,
                       std::string_view key, int defaultValue) {
    // Windows reads the number through a 30-character buffer.
    const std::string text = getProfileString(file, section, key, "", 30);
    if (text.empty()) return static_cast<unsigned>(defaultValue);
    return parseWindowsDecimal(text);
}

std::vector<std::string> getProfileSectionNames(const std::filesystem::path& file) {
    return loadDocument(file).sectionNames();
}

std::vector<std::string> getProfileKeys(const std::filesystem::path& file,
                                        std::string_view section) {
    return loadDocument(file).keys(section);
}

bool editProfile(const std::filesystem::path& file,
                 const std::function<bool(ProfileDocument&)>& edit,
                 std::optional<std::filesystem::perms> newFilePermissions) {
    if (file.has_parent_path() && ensureDirectory(file.parent_path())) return false;
    // Profile files live among other programs' files (the machine root's Windows folder): a
    // lock file beside each would be one more file there.
    const FileLock lock = FileLock::onFolderOf(file);
    if (!lock.locked()) return false;

    std::error_code ec;
    const bool exists = std::filesystem::exists(file, ec);
    if (ec) return false;
    std::string original;
    if (exists) {
        auto content = readWholeFile(file);
        if (!content) return false;
        original = std::move(*content);
    }

    ProfileDocument doc = ProfileDocument::parse(original);
    if (!edit(doc)) return false;
    const std::string updated = doc.serialise();
    if (exists && updated == original) return true;
    return !writeFileAtomically(file, updated, newFilePermissions);
}

bool writeProfileString(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::optional<std::string_view> value) {
    if (!value) {
        return editExistingProfile(file, [&](ProfileDocument& doc) {
            doc.remove(section, key);
            return true;
        });
    }
    return editProfile(file, [&](ProfileDocument& doc) { return doc.set(section, key, *value); });
}

bool deleteProfileSection(const std::filesystem::path& file, std::string_view section) {
    return editExistingProfile(file, [&](ProfileDocument& doc) {
        doc.removeSection(section);
        return true;
    });
}

}  // namespace kestrel::platform
