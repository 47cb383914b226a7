#include "DirectoryCache.h"

#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>

#include "FileSnapshot.h"
#include "LmdbStore.h"
#include "platform/FileLock.h"
#include "platform/Places.h"
#include "platform/PrivateFiles.h"

namespace nw {

namespace fs = std::filesystem;

namespace {

// A fast 64-bit hash of whole words (FNV-style mixing), enough to tell contents and paths
// apart; it is no defence against a deliberate collision, and needs none.
std::uint64_t hashBytes(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + i, 8);
        hash = (hash ^ word) * 0x100000001b3ull;
        hash ^= hash >> 29;
    }
    for (; i < bytes.size(); ++i)
        hash = (hash ^ static_cast<unsigned char>(bytes[i])) * 0x100000001b3ull;
    return hash ^ (hash >> 32);
}

std::uint64_t nanoseconds(const timespec& time) {
    return static_cast<std::uint64_t>(time.tv_sec) * 1000000000ull +
           static_cast<std::uint64_t>(time.tv_nsec);
}

SourceIdentity identityOf(const struct stat& status, const fs::path& file) {
    SourceIdentity identity;
    identity.device = status.st_dev;
    identity.inode = status.st_ino;
    identity.size = static_cast<std::uint64_t>(status.st_size);
    identity.modified = nanoseconds(status.st_mtim);
    identity.changed = nanoseconds(status.st_ctim);
    identity.path = file.string();
    return identity;
}

bool sameSource(const SourceIdentity& a, const SourceIdentity& b) {
    return a.device == b.device && a.inode == b.inode && a.size == b.size &&
           a.modified == b.modified && a.changed == b.changed && a.path == b.path;
}

// The store at `store` when it was built from `source` as it is now.
std::shared_ptr<const Directory> usableStore(const fs::path& store, const SourceIdentity& source) {
    auto opened = openStore(store);
    if (!opened || !sameSource(opened->header.source, source)) return nullptr;
    return opened->directory;
}

// The store holds the password hashes of the file, so the cache folder, the store and its
// lock are the user's alone; those made before they were private lose what others may do.
// The reason when the folder cannot be used.
std::optional<std::string> keepPrivate(const fs::path& store) {
    using namespace kestrel::platform;
    if (std::error_code made = ensurePrivateFolder(store.parent_path(), ExistingFolder::Tighten))
        return made == std::errc::operation_not_permitted
                   ? std::string("the folder belongs to another user")
                   : made.message();
    for (const fs::path& file : {store, FileLock::lockPathFor(store)})
        if (std::error_code restricted = restrictToOwner(file))
            return "cannot make " + file.string() + " private: " + restricted.message();
    return std::nullopt;
}

std::uint64_t freeBytes(const fs::path& folder) {
    struct statvfs info {};
    if (::statvfs(folder.c_str(), &info) != 0) return UINT64_MAX;  // let the build find out
    return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
}

void syncFolder(const fs::path& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Time stamps advance in ticks (a few milliseconds; whole seconds on some file systems), so a
// write in the same tick as the one the store was built from would go unseen. Reading the
// file only once its time stamp lies a tick in the past means any later write moves it.
void waitOutTimestampTick(const fs::path& file) {
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0) return;
    bool wholeSeconds = status.st_mtim.tv_nsec == 0;
    std::uint64_t settled =
        nanoseconds(status.st_mtim) + (wholeSeconds ? 2000000000ull : 20000000ull);
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    std::uint64_t current = nanoseconds(now);
    if (current >= settled) return;
    std::uint64_t wait = settled - current;
    timespec pause{static_cast<time_t>(wait / 1000000000ull),
                   static_cast<long>(wait % 1000000000ull)};
    ::nanosleep(&pause, nullptr);
}

struct Fallback {
    std::string reason;
};

using Built = kestrel::platform::Expected<std::shared_ptr<const Directory>, LoadError>;

fs::path besideStore(const fs::path& store, const char* suffix) {
    fs::path path = store;
    path += suffix;
    return path;
}

// Builds the store from a snapshot of the file into a temporary file and renames it into
// place; the caller holds the lock. Problems of the cache itself throw Fallback.
Built build(const fs::path& store, const fs::path& file, const std::string& origin) {
    struct stat status {};
    const std::uint64_t size = ::stat(file.c_str(), &status) == 0 ? status.st_size : 0;
    // Records are about the size of the JSON text; pages and indexes at most double it, and
    // the snapshot of the text is as large as the text.
    std::uint64_t needed = 3 * size + (16u << 20);
    if (freeBytes(store.parent_path()) < needed)
        throw Fallback{"not enough free space (about " + std::to_string(needed >> 20) +
                       " MB needed)"};
    auto source = FileSnapshot::inFile(file, besideStore(store, ".source"));
    if (!source && source.error().side == SnapshotError::Side::Copy)
        throw Fallback{source.error().message};
    if (!source)
        return kestrel::platform::unexpected(LoadError{origin, 0, 0, source.error().message});
    SourceIdentity identity = identityOf(source->status(), file);
    fs::path temporary = besideStore(store, ".new");
    std::error_code ignored;
    fs::remove(temporary, ignored);  // left by a build that crashed: we hold the lock
    try {
        LmdbWriter writer(temporary, static_cast<std::size_t>(needed * 2));
        auto compiled = compileDirectory(source->bytes(), origin, writer);
        if (!compiled) {
            fs::remove(temporary, ignored);
            return kestrel::platform::unexpected(compiled.error());
        }
        identity.contentHash = hashBytes(source->bytes());
        writer.finish(identity);
    } catch (const SinkError& e) {
        fs::remove(temporary, ignored);
        throw Fallback{e.message};
    }
    if (::rename(temporary.c_str(), store.c_str()) != 0) {
        std::string reason = std::strerror(errno);
        fs::remove(temporary, ignored);
        throw Fallback{"cannot rename " + temporary.string() + ": " + reason};
    }
    syncFolder(store.parent_path());
    auto directory = usableStore(store, identity);
    if (!directory) throw Fallback{"the store just built cannot be read"};
    return directory;
}

}  // namespace

fs::path storeCacheDir() {
    // XDG: only an absolute path counts.
    const char* base = std::getenv("XDG_CACHE_HOME");
    fs::path root = base != nullptr && base[0] == '/' ? fs::path(base)
                                                      : kestrel::platform::homeDir() / ".cache";
    return root / "kestrel";
}

fs::path storeFileFor(const fs::path& directoryFile) {
    std::error_code ec;
    fs::path absolute = fs::absolute(directoryFile, ec);
    char name[40];
    std::snprintf(name, sizeof name, "directory-%016llx.mdb",
                  static_cast<unsigned long long>(hashBytes(absolute.string())));
    return storeCacheDir() / name;
}

kestrel::platform::Expected<OpenedDirectory, LoadError> openDirectory(const fs::path& file) {
    using kestrel::platform::unexpected;
    std::error_code ec;
    fs::path absolute = fs::absolute(file, ec);
    fs::path store = storeFileFor(absolute);
    std::optional<std::string> unusable = keepPrivate(store);
    struct stat status {};
    if (!unusable && ::stat(absolute.c_str(), &status) == 0) {
        if (auto directory = usableStore(store, identityOf(status, absolute)))
            return OpenedDirectory{directory, {}};
    }
    std::string reason;
    try {
        if (unusable) throw Fallback{*unusable};
        kestrel::platform::FileLock lock(store, kestrel::platform::kOwnerOnlyFile);
        if (!lock.locked()) throw Fallback{lock.error().message()};
        waitOutTimestampTick(absolute);
        // Another process may have built it while this one waited for the lock.
        if (::stat(absolute.c_str(), &status) == 0)
            if (auto directory = usableStore(store, identityOf(status, absolute)))
                return OpenedDirectory{directory, {}};
        auto built = build(store, absolute, file.string());
        if (!built) return unexpected(built.error());
        return OpenedDirectory{*built, {}};
    } catch (const Fallback& fallback) {
        reason = fallback.reason;
    }
    auto loaded = loadDirectory(file);
    if (!loaded) return unexpected(loaded.error());
    return OpenedDirectory{*loaded, "cannot keep the compiled directory in " +
                                        store.parent_path().string() + " (" + reason +
                                        "); reading " + file.string() + " into memory"};
}

}  // namespace nw
