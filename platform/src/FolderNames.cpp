#include "platform/FolderNames.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "platform/AsciiCase.h"

namespace kestrel::platform {

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kChanges = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ONLYDIR;

// File systems whose every change passes through this kernel, so that a watch sees it.
// Network and user-space ones can change behind it (another client, the server itself).
bool changesAreReported(int descriptor) {
    struct statfs facts {};
    if (::fstatfs(descriptor, &facts) != 0) return false;
    switch (static_cast<unsigned long>(facts.f_type)) {
        case EXT4_SUPER_MAGIC:  // ext2 and ext3 too
        case XFS_SUPER_MAGIC:
        case BTRFS_SUPER_MAGIC:
        case TMPFS_MAGIC:
        case F2FS_SUPER_MAGIC:
        case OVERLAYFS_SUPER_MAGIC:
            return true;
        default:
            return false;
    }
}

}  // namespace

std::optional<CaseFoldedNames> CaseFoldedNames::list(const fs::path& folder) {
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return std::nullopt;
    return list(descriptor);
}

std::optional<CaseFoldedNames> CaseFoldedNames::list(int folderDescriptor) {
    DIR* stream = ::fdopendir(folderDescriptor);
    if (stream == nullptr) {
        ::close(folderDescriptor);
        return std::nullopt;
    }
    CaseFoldedNames names;
    // Straight from the directory stream: a path object per entry would cost more than the
    // listing itself.
    while (const dirent* entry = ::readdir(stream)) {
        const std::string_view name(entry->d_name);
        if (name != "." && name != "..") names.add(name);
    }
    ::closedir(stream);
    return names;
}

void CaseFoldedNames::add(std::string_view name) {
    std::vector<std::string>& entries = byFolded_[asciiLower(name)];
    const auto at = std::lower_bound(entries.begin(), entries.end(), name);
    if (at == entries.end() || *at != name) entries.emplace(at, name);
}

void CaseFoldedNames::remove(std::string_view name) {
    const auto folded = byFolded_.find(asciiLower(name));
    if (folded == byFolded_.end()) return;
    std::vector<std::string>& entries = folded->second;
    const auto at = std::lower_bound(entries.begin(), entries.end(), name);
    if (at != entries.end() && *at == name) entries.erase(at);
    if (entries.empty()) byFolded_.erase(folded);
}

const std::string* CaseFoldedNames::find(std::string_view name) const {
    const auto folded = byFolded_.find(asciiLower(name));
    return folded == byFolded_.end() ? nullptr : &folded->second.front();
}

std::vector<std::string> CaseFoldedNames::matching(std::string_view name) const {
    const auto folded = byFolded_.find(asciiLower(name));
    return folded == byFolded_.end() ? std::vector<std::string>() : folded->second;
}

std::vector<std::string> CaseFoldedNames::all() const {
    std::vector<std::string> names;
    for (const auto& [folded, entries] : byFolded_)
        names.insert(names.end(), entries.begin(), entries.end());
    std::ranges::sort(names);
    return names;
}

FolderNames::~FolderNames() {
    if (inotify_ >= 0) ::close(inotify_);
}

const CaseFoldedNames* FolderNames::names(const fs::path& folder) {
    applyChanges();
    struct stat facts {};
    if (!folders_.empty() && ::stat(folder.c_str(), &facts) == 0) {
        const auto known = folders_.find({facts.st_dev, facts.st_ino});
        if (known != folders_.end()) {
            known->second.lastLookup = ++lookups_;
            return &known->second.names;
        }
    }
    return listAndWatch(folder);
}

// A watch on the open folder, or -1 where its changes would not all be seen.
int FolderNames::addWatch(int folderDescriptor, const fs::path& folder) {
    if (!changesAreReported(folderDescriptor)) return -1;
    if (inotify_ < 0) inotify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ < 0) return -1;
    // Through the open descriptor, the watch is on the very folder being listed, even if its
    // path has been given to another one meanwhile.
    const std::string opened = "/proc/self/fd/" + std::to_string(folderDescriptor);
    const int watch = ::inotify_add_watch(inotify_, opened.c_str(), kChanges);
    if (watch >= 0 || errno != ENOENT) return watch;
    return ::inotify_add_watch(inotify_, folder.c_str(), kChanges);  // no /proc
}

void FolderNames::forgetLeastRecent() {
    const auto oldest = std::ranges::min_element(
        folders_, {}, [](const auto& folder) { return folder.second.lastLookup; });
    ::inotify_rm_watch(inotify_, oldest->second.watch);
    byWatch_.erase(oldest->second.watch);
    folders_.erase(oldest);
}

// The watch comes before the listing, so that a change made while the folder is read is
// reported and applied afterwards (applying one twice changes nothing).
const CaseFoldedNames* FolderNames::listAndWatch(const fs::path& folder) {
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return nullptr;
    struct stat facts {};
    if (::fstat(descriptor, &facts) != 0) {
        ::close(descriptor);
        return nullptr;
    }
    if (folders_.size() >= kMostWatched) forgetLeastRecent();
    const int watch = addWatch(descriptor, folder);
    std::optional<CaseFoldedNames> listed = CaseFoldedNames::list(descriptor);
    if (watch < 0 || !listed) {
        if (watch >= 0) ::inotify_rm_watch(inotify_, watch);
        unwatched_ = std::move(listed);
        return unwatched_ ? &*unwatched_ : nullptr;
    }
    const FolderId id{facts.st_dev, facts.st_ino};
    byWatch_[watch] = id;
    Watched& watched =
        folders_.insert_or_assign(id, Watched{watch, std::move(*listed), 0}).first->second;
    watched.lastLookup = ++lookups_;
    return &watched.names;
}

void FolderNames::applyChanges() {
    if (inotify_ < 0 || folders_.empty()) return;
    constexpr std::size_t kLargestEvent = sizeof(inotify_event) + NAME_MAX + 1;
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(inotify_, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return;  // EAGAIN: nothing (more) to apply
        for (ssize_t offset = 0; offset < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                forgetAll();  // changes were lost: every folder is listed again
                return;
            }
            const auto watched = byWatch_.find(event->wd);
            if (watched == byWatch_.end()) continue;
            if (event->mask & IN_IGNORED) {  // the folder is gone (or its file system)
                folders_.erase(watched->second);
                byWatch_.erase(watched);
                continue;
            }
            CaseFoldedNames& names = folders_.at(watched->second).names;
            const std::string_view name(event->name);
            if (event->mask & (IN_CREATE | IN_MOVED_TO)) names.add(name);
            if (event->mask & (IN_DELETE | IN_MOVED_FROM)) names.remove(name);
        }
        // A read that left room for another event emptied the queue.
        if (static_cast<std::size_t>(got) + kLargestEvent <= sizeof buffer) return;
    }
}

void FolderNames::forgetAll() {
    ::close(inotify_);
    inotify_ = -1;
    folders_.clear();
    byWatch_.clear();
}

}  // namespace kestrel::platform
