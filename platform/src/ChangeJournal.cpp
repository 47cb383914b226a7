#include "platform/ChangeJournal.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "FileState.h"
#include "JournalRecord.h"
#include "JournalUndo.h"
#include "platform/AsciiCase.h"
#include "platform/WindowsErrors.h"

namespace kestrel::platform {

namespace fs = std::filesystem;

namespace {

ChangeJournal* active = nullptr;

constexpr std::string_view kJournalFile = "journal";
constexpr std::string_view kLockFile = "lock";
constexpr std::string_view kSavedFolder = "saved";

std::string systemError(const std::string& what, int error) {
    return what + ": " + std::strerror(error);
}

// The registry key as one text of root and case-folded components, for telling keys apart.
std::string keyIdentity(RegistryRoot root, std::string_view key) {
    std::string identity = std::to_string(static_cast<int>(root));
    for (const std::string& part : registryKeyComponents(key)) identity += "\\" + asciiLower(part);
    return identity;
}

std::string rootText(RegistryRoot root) {
    return std::to_string(static_cast<int>(root));
}

// The key tree below `key` as the fields of a KeyTree record: "k" and the path of each key
// relative to `key` (the key itself first, as ""), "v", its path, name, type and data for
// each value.
void appendTree(const Registry& registry, RegistryRoot root, const std::string& key,
                const std::string& relative, std::vector<std::string>& fields) {
    fields.insert(fields.end(), {"k", relative});
    std::vector<std::string> names;
    if (registry.valueNames(root, key, &names) == kErrorSuccess) {
        for (const std::string& name : names) {
            RegistryValue value;
            if (registry.queryValue(root, key, name, &value) != kErrorSuccess) continue;
            fields.insert(fields.end(),
                          {"v", relative, name, std::to_string(value.type), hexOf(value.data)});
        }
    }
    std::vector<std::string> subkeys;
    if (registry.subkeyNames(root, key, &subkeys) != kErrorSuccess) return;
    for (const std::string& subkey : subkeys)
        appendTree(registry, root, key + "\\" + subkey,
                   relative.empty() ? subkey : relative + "\\" + subkey, fields);
}

// Opens and locks the journal folder's lock file; -1 with the reason when another run holds it.
int lockFolder(const fs::path& folder, std::string* why) {
    const int fd = ::open((folder / kLockFile).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        *why = systemError("cannot open " + (folder / kLockFile).string(), errno);
        return -1;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        *why = "another installation is working on this Windows root (" + folder.string() + ")";
        ::close(fd);
        return -1;
    }
    return fd;
}

void syncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

}  // namespace

ChangeJournal* activeJournal() {
    return active;
}

fs::path ChangeJournal::folderOf(const fs::path& prefix) {
    return prefix / kFolderName;
}

bool ChangeJournal::pending(const fs::path& prefix) {
    const fs::path folder = folderOf(prefix);
    std::error_code error;
    if (!fs::exists(folder / kJournalFile, error)) return false;
    std::string why;
    const int lock = lockFolder(folder, &why);
    if (lock < 0) return false;  // its run is still going on
    ::close(lock);
    return true;
}

Expected<std::unique_ptr<ChangeJournal>, std::string> ChangeJournal::begin(const fs::path& prefix,
                                                                           std::string_view run) {
    if (active != nullptr) return unexpected(std::string("a run of this process is journaled"));
    fs::path root = fs::absolute(prefix).lexically_normal();
    if (root.filename().empty()) root = root.parent_path();
    const fs::path folder = folderOf(root);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return unexpected(systemError("cannot make " + folder.string(), errno));
    std::string why;
    const int lock = lockFolder(folder, &why);
    if (lock < 0) return unexpected(why);
    const auto fail = [lock](std::string reason) {
        ::close(lock);
        return unexpected(std::move(reason));
    };
    std::error_code error;
    if (fs::exists(folder / kJournalFile, error))
        return fail("an unfinished run's journal is still in " + folder.string());
    fs::remove_all(folder / kSavedFolder, error);
    if (::mkdir((folder / kSavedFolder).c_str(), 0700) != 0)
        return fail(systemError("cannot make " + (folder / kSavedFolder).string(), errno));
    const int fd = ::open((folder / kJournalFile).c_str(),
                          O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) return fail(systemError("cannot make " + (folder / kJournalFile).string(), errno));
    std::unique_ptr<ChangeJournal> journal(new ChangeJournal(root, fd, lock));
    journal->append({JournalRecord::Kind::Header, {std::string(kJournalFormat), std::string(run)}});
    journal->sync();
    syncFolder(folder);
    if (!journal->failure().empty()) return unexpected(journal->failure());
    active = journal.get();
    return journal;
}

ChangeJournal::ChangeJournal(fs::path prefix, int fd, int lockFd)
    : prefix_(std::move(prefix)), folder_(folderOf(prefix_)), fd_(fd), lockFd_(lockFd) {}

bool ChangeJournal::ownFile(const fs::path& path) const {
    const fs::path parent = path.parent_path();
    return parent == prefix_ || parent == folder_ || parent == folder_ / kSavedFolder;
}

ChangeJournal::~ChangeJournal() {
    deactivate();
    if (fd_ >= 0) ::close(fd_);
    if (lockFd_ >= 0) ::close(lockFd_);
}

void ChangeJournal::deactivate() {
    if (active == this) active = nullptr;
}

void ChangeJournal::append(const JournalRecord& record) {
    if (!failure_.empty() || fd_ < 0) return;
    const std::string line = encodeRecord(record);
    // One write: a kill leaves the record whole or cut short, never two records mixed.
    const ssize_t written = ::write(fd_, line.data(), line.size());
    if (written != static_cast<ssize_t>(line.size()))
        failure_ = written < 0 ? systemError("cannot write the run's journal", errno)
                               : "cannot write the run's journal: the disk is full";
}

void ChangeJournal::sync() {
    if (fd_ >= 0 && ::fdatasync(fd_) != 0 && failure_.empty())
        failure_ = systemError("cannot write the run's journal", errno);
}

bool ChangeJournal::belowMadeFolder(const fs::path& path) const {
    for (fs::path folder = path.parent_path(); !folder.empty(); folder = folder.parent_path()) {
        if (madeFolders_.count(folder.string()) != 0) return true;
        if (folder == folder.root_path()) break;
    }
    return false;
}

bool ChangeJournal::belowMadeKey(const std::string& key) const {
    for (std::size_t end = key.size(); end != std::string::npos; end = key.rfind('\\', end - 1)) {
        if (madeKeys_.count(key.substr(0, end)) != 0) return true;
        if (end == 0) break;
    }
    return false;
}

void ChangeJournal::beforeFileChange(const fs::path& given, Write write) {
    const fs::path path = given.lexically_normal();
    if (ownFile(path)) return;
    const auto [known, added] = files_.try_emplace(path.string());
    if (!added) {
        // Content kept as a link would take on what is written into the file: it becomes a
        // copy of its own before that happens.
        if (write == Write::InPlace && !known->second.empty()) {
            if (keep(folder_ / kSavedFolder / known->second, known->second, false))
                known->second.clear();
        }
        return;
    }
    if (belowMadeFolder(path)) return;
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            append({JournalRecord::Kind::Absent, {path.string()}});
        } else if (failure_.empty()) {
            failure_ = systemError("cannot read " + path.string(), errno);
        }
        return;
    }
    if (S_ISLNK(status.st_mode)) {
        std::error_code error;
        append(
            {JournalRecord::Kind::Link, {path.string(), fs::read_symlink(path, error).string()}});
        return;
    }
    if (S_ISDIR(status.st_mode)) {
        append(
            {JournalRecord::Kind::Attributes, {path.string(), modeText(status), xattrText(path)}});
        return;
    }
    const std::string saved = std::to_string(++saved_);
    if (!keep(path, saved, write == Write::Whole)) return;
    if (write == Write::Whole) known->second = saved;
    append({JournalRecord::Kind::File,
            {path.string(), saved, modeText(status), timesText(status), xattrText(path)}});
}

// The earlier content stays reachable under the journal: a hard link while the run only
// replaces and removes whole files, a copy where it writes into one or no link can be made.
// A copy is made beside its name and renamed to it, so a saved name never holds half a file.
bool ChangeJournal::keep(const fs::path& path, const std::string& saved, bool link) {
    const fs::path copy = folder_ / kSavedFolder / saved;
    if (link && ::link(path.c_str(), copy.c_str()) == 0) return true;
    const fs::path partial = folder_ / kSavedFolder / (saved + ".part");
    std::error_code error;
    if (fs::copy_file(path, partial, fs::copy_options::overwrite_existing, error))
        fs::rename(partial, copy, error);
    if (!error) return true;
    if (failure_.empty()) failure_ = "cannot keep " + path.string() + ": " + error.message();
    fs::remove(partial, error);
    return false;
}

void ChangeJournal::beforeFoldersMade(const fs::path& given) {
    const fs::path path = given.lexically_normal();
    // The topmost missing folder: undoing it takes the ones made below it along.
    fs::path top;
    for (fs::path folder = path; !folder.empty(); folder = folder.parent_path()) {
        struct stat status {};
        if (::lstat(folder.c_str(), &status) == 0) break;
        top = folder;
        if (folder == folder.root_path()) break;
    }
    if (top.empty() || madeFolders_.count(top.string()) != 0 || belowMadeFolder(top)) return;
    append({JournalRecord::Kind::FolderMade, {top.string()}});
    madeFolders_.insert(top.string());
}

void ChangeJournal::beforeFolderRemoved(const fs::path& given) {
    const fs::path path = given.lexically_normal();
    if (madeFolders_.count(path.string()) != 0 || belowMadeFolder(path)) return;
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return;
    append(
        {JournalRecord::Kind::FolderRemoved, {path.string(), modeText(status), xattrText(path)}});
}

void ChangeJournal::beforeValueChange(const Registry& registry, RegistryRoot root,
                                      std::string_view key, std::string_view name) {
    const std::string identity = keyIdentity(root, key);
    if (belowMadeKey(identity) || !values_.insert(identity + "\t" + asciiLower(name)).second)
        return;
    RegistryValue value;
    if (registry.queryValue(root, key, name, &value) == kErrorSuccess) {
        append({JournalRecord::Kind::Value,
                {rootText(root), std::string(key), std::string(name), std::to_string(value.type),
                 hexOf(value.data)}});
    } else {
        append({JournalRecord::Kind::Value,
                {rootText(root), std::string(key), std::string(name), "-", ""}});
    }
}

void ChangeJournal::beforeKeyMade(const Registry& registry, RegistryRoot root,
                                  std::string_view key) {
    // A key at or below one the run made goes with it, and a key that is there is not the
    // run's to undo: most calls end here, at one look or none rather than one per component
    // (each a round trip when the registry is a running Wine's).
    if (belowMadeKey(keyIdentity(root, key)) || registry.openKey(root, key) == kErrorSuccess)
        return;
    std::string path;
    for (const std::string& part : registryKeyComponents(key)) {
        path += (path.empty() ? "" : "\\") + part;
        if (registry.openKey(root, path) == kErrorSuccess) continue;
        const std::string identity = keyIdentity(root, path);
        if (belowMadeKey(identity)) return;
        append({JournalRecord::Kind::KeyMade, {rootText(root), path}});
        madeKeys_.insert(identity);
        return;
    }
}

void ChangeJournal::beforeKeyRemoved(const Registry& registry, RegistryRoot root,
                                     std::string_view key) {
    if (belowMadeKey(keyIdentity(root, key)) || registry.openKey(root, key) != kErrorSuccess)
        return;
    std::vector<std::string> fields{rootText(root), std::string(key)};
    appendTree(registry, root, std::string(key), "", fields);
    append({JournalRecord::Kind::KeyTree, std::move(fields)});
}

void ChangeJournal::commit() {
    deactivate();
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
    // The journal file first: without it nothing is pending, whatever else is still there.
    std::error_code error;
    fs::remove(folder_ / kJournalFile, error);
    syncFolder(folder_);
    fs::remove_all(folder_ / kSavedFolder, error);
    fs::remove(folder_ / kLockFile, error);
    ::close(lockFd_);
    lockFd_ = -1;
    fs::remove(folder_, error);
}

ChangeJournal::Rollback ChangeJournal::rollBack(Registry& registry) {
    deactivate();
    Rollback result;
    if (fd_ < 0) return result;
    ::close(fd_);
    fd_ = -1;
    result = undoJournal(folder_, registry);
    ::close(lockFd_);
    lockFd_ = -1;
    return result;
}

Expected<ChangeJournal::Rollback, std::string> ChangeJournal::recover(const fs::path& prefix,
                                                                      Registry& registry) {
    const fs::path folder = folderOf(prefix);
    std::error_code error;
    if (!fs::exists(folder / kJournalFile, error)) return Rollback{};
    std::string why;
    const int lock = lockFolder(folder, &why);
    if (lock < 0) return unexpected(why);
    Rollback result = undoJournal(folder, registry);
    ::close(lock);
    return result;
}

}  // namespace kestrel::platform
