#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/Expected.h"
#include "platform/RegistryError.h"
#include "platform/WineRegistryFile.h"

namespace kestrel::platform {

// A change made in memory, replayed on the file's newer content when another process
// wrote the hive meanwhile. Paths are component lists below the hive's root.
struct HiveChange {
    enum class Kind { CreateKey, CreateLink, SetValue, DeleteValue, DeleteKey, DeleteTree };
    Kind kind;
    std::vector<std::string> path;
    std::string name;
    RegistryValue value;
};

// Applies a change to a tree; keys it creates or changes get the current time.
void applyHiveChange(RegistryKey& root, const HiveChange& change);

// One hive file of a prefix: its content in memory, the changes not yet saved, and the
// text of the file as we last read or wrote it (to see whether someone else wrote it).
class HiveFile {
  public:
    HiveFile(std::filesystem::path file, std::string relativeTo);

    // A line the file holds that we cannot read is kept as written, and the first of them is
    // named in one warning on standard error.
    Expected<void, ParseError> load();
    RegistryKey& root() { return hive_.root; }
    const RegistryKey& root() const { return hive_.root; }
    // Records a change that has already been made to root().
    void record(HiveChange change) { pending_.push_back(std::move(change)); }
    bool dirty() const { return !pending_.empty(); }
    // The changes not saved yet, in the order they were made.
    const std::vector<HiveChange>& pendingChanges() const { return pending_; }
    // Writes the hive (see Registry::save).
    Expected<void, RegistryError> save();
    // Reads the file again when another process wrote it; the changes not saved yet are
    // applied to its content and stay to be saved.
    Expected<void, ParseError> reload();

  private:
    RegistryHive emptyHive() const;
    // Makes `onDisk` (nullopt: no file) the content, with our pending changes and volatile
    // keys on top, unless it is what we last read or wrote.
    Expected<void, ParseError> rebase(const std::optional<std::string>& onDisk);
    void warnAboutKeptLines() const;

    std::filesystem::path file_;
    std::string relativeTo_;
    RegistryHive hive_;
    std::optional<std::string> lastText_;  // nullopt: the file did not exist
    std::vector<HiveChange> pending_;
};

}  // namespace kestrel::platform
