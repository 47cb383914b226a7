// What an installer run changes on a machine root, written down before each change, so that
// a run that fails, is cancelled or is killed can be undone, last change first.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/Expected.h"
#include "platform/Registry.h"

namespace kestrel::platform {

struct JournalRecord;

// The journal of one run lives in a folder of the prefix (kFolderName, beside the hive
// files, where no Windows program looks): a file of records, appended one record a write
// before the change it tells of, and the earlier content of every file the run replaces or
// deletes (a hard link to it, or a copy where no link can be made). A killed run leaves a
// journal that every later run finds; a run that ended leaves none.
//
// What is written down, the first time the run touches it: a file that was there (content,
// mode, times, extended attributes: where Wine keeps DOS attributes and the security
// descriptor) or that was not; a folder made or removed; a registry value as it was (or
// that it was missing), a key that was made, a key tree as it was before it went. Files
// below a folder the run made, and values below a key it made, need no record of their own:
// undoing the folder or key takes them along.
//
// Kills at any moment leave the journal usable: a record is one write(2) that ends with a
// line break, and a last record cut short is one whose change was not made yet. sync()
// also puts it on the disk, so that what was synchronised survives a power loss.
//
// While a run is journaled, its journal is the active one (activeJournal): the host layer's
// writers (registry, profile files, shell links, attributes, the copy engine through
// JournaledFiles.h) write it down there. One run at a time per process.
class ChangeJournal {
  public:
    static constexpr std::string_view kFolderName = "kestrel-setup-journal";

    // The journal folder of a prefix.
    static std::filesystem::path folderOf(const std::filesystem::path& prefix);

    // Whether a run that did not finish left its journal in the prefix (and no run holds it).
    static bool pending(const std::filesystem::path& prefix);

    // Starts the journal of a run (`run` says what it is about, for the record) and makes it
    // the active one. Fails when another run is using the prefix, when a journal of an
    // unfinished run is still there (recover it first) or when the folder cannot be made.
    static Expected<std::unique_ptr<ChangeJournal>, std::string> begin(
        const std::filesystem::path& prefix, std::string_view run);

    // What undoing a journal could not do, one line each; empty when everything was undone.
    struct Rollback {
        std::vector<std::string> failures;
        std::size_t undone = 0;  // records undone
    };
    // Undoes the journal an unfinished run left in the prefix, through `registry` for the
    // registry's records (saved when it keeps hive files), and removes it. Nothing to do:
    // an empty result.
    static Expected<Rollback, std::string> recover(const std::filesystem::path& prefix,
                                                   Registry& registry);

    ~ChangeJournal();
    ChangeJournal(const ChangeJournal&) = delete;
    ChangeJournal& operator=(const ChangeJournal&) = delete;

    // How a change touches a file's content: by putting another file in its place (or none),
    // or by writing into the file itself, which a hard link to it would follow.
    enum class Write { Whole, InPlace };
    // Before a file (or a symbolic link) is created, replaced, renamed, deleted, written into,
    // or its attributes, mode, times or security change.
    void beforeFileChange(const std::filesystem::path& path, Write write = Write::Whole);
    // Before the missing folders of `path` (it and its missing parents) are made.
    void beforeFoldersMade(const std::filesystem::path& path);
    // Before an empty folder is removed.
    void beforeFolderRemoved(const std::filesystem::path& path);

    // The registry's changes, told by Registry itself with its state before the change.
    void beforeValueChange(const Registry& registry, RegistryRoot root, std::string_view key,
                           std::string_view name);
    void beforeKeyMade(const Registry& registry, RegistryRoot root, std::string_view key);
    void beforeKeyRemoved(const Registry& registry, RegistryRoot root, std::string_view key);

    // The records so far on the disk.
    void sync();

    // The run went well: its journal goes, and nothing of it will be undone.
    void commit();
    // The run failed or was cancelled: everything it did is undone, last change first, and
    // the journal goes.
    Rollback rollBack(Registry& registry);

    // Whether writing the journal failed: the run cannot be undone and must not go on.
    const std::string& failure() const { return failure_; }

  private:
    ChangeJournal(std::filesystem::path prefix, int fd, int lockFd);
    // The prefix's own files (the hives) are the registry's, whose records undo them; the
    // journal's folder is its own.
    bool ownFile(const std::filesystem::path& path) const;
    void append(const JournalRecord& record);
    bool belowMadeFolder(const std::filesystem::path& path) const;
    // Keeps a copy of `path` as the saved content `saved`: a link when `link`, else a copy.
    bool keep(const std::filesystem::path& path, const std::string& saved, bool link);
    bool belowMadeKey(const std::string& key) const;
    void deactivate();

    std::filesystem::path prefix_;
    std::filesystem::path folder_;
    int fd_ = -1;
    int lockFd_ = -1;
    std::uint64_t saved_ = 0;  // copies of earlier content kept so far
    std::string failure_;
    // Paths written down, each with the name of its kept content while that is a hard link.
    std::unordered_map<std::string, std::string> files_;
    std::unordered_set<std::string> madeFolders_;  // folders the run made
    std::unordered_set<std::string> values_;       // registry values written down
    std::unordered_set<std::string> madeKeys_;     // registry keys the run made
};

// The journal of the run going on in this process, or none.
ChangeJournal* activeJournal();

}  // namespace kestrel::platform
