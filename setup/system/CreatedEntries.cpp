#include "system/CreatedEntries.h"

#include "platform/WindowsPathText.h"
#include "system/SystemRegistry.h"

namespace kestrel::setup {

namespace {

constexpr std::string_view kNotesKey = "Software\\UsageCount\\Setup\\Created";

std::string valueEntry(std::string_view key, std::string_view name) {
    return std::string(key) + ":" + std::string(name);
}

}  // namespace

// The notes are bookkeeping beside the work: one that cannot be written costs an empty key
// left behind later, never the work itself.
void CreatedEntries::note(const std::string& entry) {
    (void)writeDword(registry_, root_, kNotesKey, entry, 1);
}

bool CreatedEntries::take(const std::string& entry) {
    if (!readDword(registry_, root_, kNotesKey, entry)) return false;
    (void)registry_.deleteValue(root_, kNotesKey, entry);
    (void)registry_.removeEmptyKeys(root_, kNotesKey);
    return true;
}

void CreatedEntries::noteMissingKeys(std::string_view key, std::string_view below) {
    for (std::string path(key); path.size() > below.size() && !registry_.keyExists(root_, path);
         path = std::string(platform::directoryPart(path)))
        note(path);
}

void CreatedEntries::noteMissingParents(std::string_view key, std::string_view below) {
    noteMissingKeys(platform::directoryPart(key), below);
}

void CreatedEntries::noteMissingValue(std::string_view key, std::string_view name) {
    std::string text;
    if (registry_.readText(root_, key, name, &text) != 0) note(valueEntry(key, name));
}

void CreatedEntries::removeEmptyMadeKeys(std::string_view key) {
    for (std::string path(key); !path.empty() && registry_.isEmptyKey(root_, path);
         path = std::string(platform::directoryPart(path))) {
        if (!readDword(registry_, root_, kNotesKey, path)) return;
        if (registry_.deleteKey(root_, path) != 0) return;
        take(path);
    }
}

long CreatedEntries::deleteTree(std::string_view key) {
    const long deleted = registry_.deleteTree(root_, key);
    if (deleted == 0) removeEmptyMadeKeys(platform::directoryPart(key));
    return deleted;
}

bool CreatedEntries::takeMadeValue(std::string_view key, std::string_view name) {
    return take(valueEntry(key, name));
}

}  // namespace kestrel::setup
