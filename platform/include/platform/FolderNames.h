#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kestrel::platform {

// The entry names of one folder by their form with ASCII letters folded, as Windows finds
// file names (other bytes, UTF-8 ones among them, stay as they are).
class CaseFoldedNames {
  public:
    // Every entry of `folder` but "." and ".."; nullopt when it cannot be listed.
    static std::optional<CaseFoldedNames> list(const std::filesystem::path& folder);
    // The same for a folder already open (the descriptor is taken over and closed).
    static std::optional<CaseFoldedNames> list(int folderDescriptor);

    void add(std::string_view name);
    void remove(std::string_view name);
    bool empty() const { return byFolded_.empty(); }

    // The entry `name` means without regard to case; of entries that differ only in case
    // (Linux keeps them apart), the first in byte order, so that every lookup gives the same
    // one. nullptr when there is none.
    const std::string* find(std::string_view name) const;
    // Every entry equal to `name` without regard to case, in byte order.
    std::vector<std::string> matching(std::string_view name) const;
    // Every entry, in byte order.
    std::vector<std::string> all() const;

  private:
    // Each folded name with its entries, kept in byte order.
    std::unordered_map<std::string, std::vector<std::string>> byFolded_;
};

// The folders a run looks names up in, each listed once and from then on kept current by the
// changes the kernel reports for it (inotify), whoever makes them: the run itself, a Windows
// program it started, or anyone else. So the n-th new name in a folder costs a few system
// calls, not a listing of the n-1 entries before it. A folder is known by its device and
// inode, found again on every lookup, so a link that now leads elsewhere or a folder put in
// place of another is never answered from the old one's names. Where the kernel cannot
// report changes (no inotify, watches used up, a queue that overflowed) or may not see them
// (network and user-space file systems, changed on other machines), the folder is listed
// afresh for each lookup. Watches are a resource the user's other programs share: at most
// `kMostWatched` folders are kept, the one looked in longest ago giving way to a new one.
// Not for use from several threads at once.
class FolderNames {
  public:
    static constexpr std::size_t kMostWatched = 1024;

    FolderNames() = default;
    ~FolderNames();
    FolderNames(const FolderNames&) = delete;
    FolderNames& operator=(const FolderNames&) = delete;

    // The names in `folder` (links followed) as they are now; nullptr when it cannot be
    // listed. Valid until the next call.
    const CaseFoldedNames* names(const std::filesystem::path& folder);

  private:
    using FolderId = std::pair<dev_t, ino_t>;
    struct Watched {
        int watch;
        CaseFoldedNames names;
        std::uint64_t lastLookup;
    };

    void applyChanges();
    void forgetAll();
    int addWatch(int folderDescriptor, const std::filesystem::path& folder);
    void forgetLeastRecent();
    const CaseFoldedNames* listAndWatch(const std::filesystem::path& folder);

    int inotify_ = -1;  // opened at the first listing: many roots are opened and never listed
    std::map<FolderId, Watched> folders_;
    std::unordered_map<int, FolderId> byWatch_;
    std::uint64_t lookups_ = 0;
    std::optional<CaseFoldedNames> unwatched_;  // the last answer for a folder not watched
};

}  // namespace kestrel::platform
