#include "JournalUndo.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <optional>

#include "FileState.h"
#include "JournalRecord.h"
#include "platform/AtomicFile.h"
#include "platform/WindowsErrors.h"

namespace kestrel::platform {

namespace fs = std::filesystem;

namespace {

using Kind = JournalRecord::Kind;

std::optional<unsigned long> numberOf(std::string_view text) {
    unsigned long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<RegistryRoot> rootOf(std::string_view text) {
    const auto number = numberOf(text);
    if (!number || *number > static_cast<unsigned long>(RegistryRoot::DynData)) return std::nullopt;
    return static_cast<RegistryRoot>(*number);
}

std::string subkey(const std::string& key, const std::string& relative) {
    return relative.empty() ? key : key + "\\" + relative;
}

// Undoes one record at a time; every failure is said and the rest goes on.
class Undo {
  public:
    Undo(fs::path saved, Registry& registry) : saved_(std::move(saved)), registry_(registry) {}

    void record(const JournalRecord& record);
    bool touchedRegistry() const { return touchedRegistry_; }
    ChangeJournal::Rollback& result() { return result_; }

  private:
    void fail(std::string why) { result_.failures.push_back(std::move(why)); }
    void failed(const std::string& what, const fs::path& path) {
        fail("cannot " + what + " " + path.string() + ": " + std::strerror(errno));
    }
    // Whatever is at the path now goes (nothing was there before the run, or something else).
    bool clear(const fs::path& path);
    void file(const std::vector<std::string>& fields);
    void metadata(const fs::path& path, const std::string& mode, const std::string& times,
                  const std::string& xattrs);
    void registry(const JournalRecord& record);

    fs::path saved_;
    Registry& registry_;
    ChangeJournal::Rollback result_;
    bool touchedRegistry_ = false;
};

bool Undo::clear(const fs::path& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) return true;
    std::error_code error;
    // Never through a link: a link the run made goes itself, not what it points to.
    if (S_ISDIR(status.st_mode) ? fs::remove_all(path, error) == static_cast<std::uintmax_t>(-1)
                                : ::unlink(path.c_str()) != 0) {
        if (error) errno = error.value();
        failed("remove", path);
        return false;
    }
    return true;
}

void Undo::metadata(const fs::path& path, const std::string& mode, const std::string& times,
                    const std::string& xattrs) {
    std::string why;
    if (!mode.empty() && !restoreMode(path, mode, &why)) fail(why);
    if (!xattrs.empty() || !times.empty()) {
        if (!restoreXattrs(path, xattrs, &why)) fail(why);
    }
    if (!times.empty() && !restoreTimes(path, times, &why)) fail(why);
}

void Undo::file(const std::vector<std::string>& f) {
    const fs::path path = f[0], copy = saved_ / f[1];
    struct stat status {};
    if (::lstat(copy.c_str(), &status) != 0) {
        fail("the earlier content of " + path.string() + " is not kept in the journal");
        return;
    }
    struct stat now {};
    if (::lstat(path.c_str(), &now) == 0 && S_ISDIR(now.st_mode) && !clear(path)) return;
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    if (::rename(copy.c_str(), path.c_str()) != 0) {
        failed("put back", path);
        return;
    }
    metadata(path, f[2], f[3], f[4]);
}

void Undo::registry(const JournalRecord& record) {
    const std::vector<std::string>& f = record.fields;
    const std::optional<RegistryRoot> root = f.size() >= 2 ? rootOf(f[0]) : std::nullopt;
    if (!root) {
        fail("a registry record of the journal names no key");
        return;
    }
    touchedRegistry_ = true;
    const std::string& key = f[1];
    const auto said = [&](long code, const std::string& what) {
        if (code != kErrorSuccess && code != kErrorFileNotFound)
            fail("cannot " + what + " " + key + " (error " + std::to_string(code) + ")");
    };
    switch (record.kind) {
        case Kind::Value: {
            if (f.size() < 5) break;
            if (f[3] == "-") {
                said(registry_.deleteValue(*root, key, f[2]), "delete a value of");
                break;
            }
            const auto type = numberOf(f[3]);
            said(registry_.createKey(*root, key), "make the key");
            said(registry_.setValue(
                     *root, key, f[2],
                     RegistryValue{static_cast<std::uint32_t>(type.value_or(0)), bytesOfHex(f[4])}),
                 "set a value of");
            break;
        }
        case Kind::KeyMade:
            said(registry_.deleteTree(*root, key), "delete the key");
            break;
        case Kind::KeyTree:
            for (std::size_t at = 2; at < f.size();) {
                if (f[at] == "k" && at + 1 < f.size()) {
                    said(registry_.createKey(*root, subkey(key, f[at + 1])), "make the key");
                    at += 2;
                } else if (f[at] == "v" && at + 4 < f.size()) {
                    const auto type = numberOf(f[at + 3]);
                    said(registry_.setValue(
                             *root, subkey(key, f[at + 1]), f[at + 2],
                             RegistryValue{static_cast<std::uint32_t>(type.value_or(0)),
                                           bytesOfHex(f[at + 4])}),
                         "set a value below");
                    at += 5;
                } else {
                    fail("a damaged key record of the journal for " + key);
                    break;
                }
            }
            break;
        default:
            break;
    }
}

void Undo::record(const JournalRecord& record) {
    const std::vector<std::string>& f = record.fields;
    const std::size_t failuresBefore = result_.failures.size();
    switch (record.kind) {
        case Kind::Header:
            return;
        case Kind::File:
            if (f.size() >= 5) file(f);
            break;
        case Kind::Absent:
        case Kind::FolderMade:
            if (!f.empty()) clear(f[0]);
            break;
        case Kind::Link:
            if (f.size() >= 2 && clear(f[0])) {
                std::error_code error;
                fs::create_symlink(f[1], f[0], error);
                if (error) fail("cannot put back the link " + f[0] + ": " + error.message());
            }
            break;
        case Kind::Attributes:
            if (f.size() >= 3) metadata(f[0], f[1], "", f[2]);
            break;
        case Kind::FolderRemoved:
            if (f.size() >= 3) {
                std::error_code error;
                fs::create_directories(f[0], error);
                if (error) {
                    fail("cannot make " + f[0] + " again: " + error.message());
                    break;
                }
                metadata(f[0], f[1], "", f[2]);
            }
            break;
        case Kind::Value:
        case Kind::KeyMade:
        case Kind::KeyTree:
            registry(record);
            break;
    }
    if (result_.failures.size() == failuresBefore) ++result_.undone;
}

}  // namespace

ChangeJournal::Rollback undoJournal(const fs::path& folder, Registry& registry) {
    const auto text = readWholeFile(folder / "journal");
    Undo undo(folder / "saved", registry);
    const std::vector<JournalRecord> records = decodeRecords(text.value_or(""));
    for (auto record = records.rbegin(); record != records.rend(); ++record) undo.record(*record);
    if (undo.touchedRegistry()) {
        if (auto saved = registry.save(); !saved)
            undo.result().failures.push_back("cannot write the registry back: " +
                                             saved.error().message);
    }
    // The journal goes once it is undone; where something could not be put back, its earlier
    // content stays for the person, beside the journal, under a name no run takes up again.
    std::error_code error;
    if (undo.result().failures.empty()) {
        fs::remove(folder / "journal", error);
        fs::remove_all(folder, error);
    } else {
        fs::path kept = folder;
        kept += ".failed";
        fs::remove_all(kept, error);
        fs::rename(folder, kept, error);
        undo.result().failures.push_back("what could not be put back is kept in " + kept.string());
    }
    return undo.result();
}

}  // namespace kestrel::platform
