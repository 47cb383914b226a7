#include "HiveFile.h"

#include <cstdio>
#include <utility>

#include "platform/AtomicFile.h"
#include "platform/FileLock.h"
#include "platform/WindowsErrors.h"

namespace kestrel::platform {

namespace {

RegistryKey* findKey(RegistryKey& root, const std::vector<std::string>& path) {
    RegistryKey* key = &root;
    for (const std::string& name : path) {
        key = key->subkey(name);
        if (key == nullptr) return nullptr;
    }
    return key;
}

RegistryKey& ensureKey(RegistryKey& root, const std::vector<std::string>& path) {
    RegistryKey* key = &root;
    for (const std::string& name : path) {
        const bool isNew = key->subkey(name) == nullptr;
        key = &key->ensureSubkey(name);
        if (isNew) key->touch();
    }
    return *key;
}

struct DetachedKey {
    std::vector<std::string> parentPath;
    std::unique_ptr<RegistryKey> key;
};

// Takes the volatile subtrees out of a tree, to carry them over to its successor; depth
// first without recursion, as hives may nest deeper than the stack allows.
std::vector<DetachedKey> detachVolatileKeys(RegistryKey& root) {
    struct Visit {
        RegistryKey* key;
        RegistryKey::SubkeyMap::const_iterator next;
        std::vector<std::string> volatileNames;
    };
    std::vector<DetachedKey> detached;
    std::vector<std::string> path;  // down to the key being visited
    std::vector<Visit> visits{{&root, root.subkeys().begin(), {}}};
    while (!visits.empty()) {
        Visit& visit = visits.back();
        if (visit.next == visit.key->subkeys().end()) {
            for (const std::string& name : visit.volatileNames) {
                detached.push_back({path, visit.key->takeSubkey(name)});
            }
            visits.pop_back();
            if (!visits.empty()) path.pop_back();
            continue;
        }
        const auto& [name, subkey] = *visit.next++;
        if (subkey->isVolatile) {
            visit.volatileNames.push_back(name);
            continue;
        }
        path.push_back(name);
        visits.push_back({subkey.get(), subkey->subkeys().begin(), {}});
    }
    return detached;
}

}  // namespace

void applyHiveChange(RegistryKey& root, const HiveChange& change) {
    using Kind = HiveChange::Kind;
    switch (change.kind) {
        case Kind::CreateKey:
            ensureKey(root, change.path);
            break;
        case Kind::CreateLink: {
            RegistryKey& key = ensureKey(root, change.path);
            key.isLink = true;
            key.setValue("SymbolicLinkValue", change.value);
            key.touch();
            break;
        }
        case Kind::SetValue: {
            RegistryKey& key = ensureKey(root, change.path);
            key.setValue(change.name, change.value);
            key.touch();
            break;
        }
        case Kind::DeleteValue:
            if (RegistryKey* key = findKey(root, change.path);
                key && key->removeValue(change.name)) {
                key->touch();
            }
            break;
        case Kind::DeleteKey:
        case Kind::DeleteTree: {
            if (change.path.empty()) break;
            std::vector<std::string> parentPath(change.path.begin(), change.path.end() - 1);
            RegistryKey* parent = findKey(root, parentPath);
            RegistryKey* key = parent ? parent->subkey(change.path.back()) : nullptr;
            // A key that gained subkeys elsewhere meanwhile is not ours to remove whole.
            if (key == nullptr || (change.kind == Kind::DeleteKey && !key->subkeys().empty())) {
                break;
            }
            parent->takeSubkey(change.path.back());
            parent->touch();
            break;
        }
    }
}

HiveFile::HiveFile(std::filesystem::path file, std::string relativeTo)
    : file_(std::move(file)), relativeTo_(std::move(relativeTo)), hive_(emptyHive()) {}

RegistryHive HiveFile::emptyHive() const {
    RegistryHive hive;
    hive.header = wineHiveHeader(relativeTo_);
    return hive;
}

Expected<void, ParseError> HiveFile::load() {
    std::error_code ec;
    if (!std::filesystem::exists(file_, ec)) {
        if (ec) return unexpected(ParseError{file_.string(), 0, 0, ec.message()});
        hive_ = emptyHive();
        lastText_.reset();
        return {};
    }
    auto text = readWholeFile(file_);
    if (!text) return unexpected(ParseError{file_.string(), 0, 0, "cannot read the file"});
    lastText_ = *text;
    if (text->empty()) {  // an empty file holds nothing to keep
        hive_ = emptyHive();
        return {};
    }
    auto parsed = parseWineRegistry(*text, file_.string());
    if (!parsed) return unexpected(parsed.error());
    hive_ = std::move(parsed.value());
    warnAboutKeptLines();
    return {};
}

void HiveFile::warnAboutKeptLines() const {
    const std::vector<ParseError>& warnings = hive_.warnings;
    if (warnings.empty()) return;
    const std::string kept = warnings.size() == 1
                                 ? "the line is kept as written"
                                 : "it and " + std::to_string(warnings.size() - 1) +
                                       " more such lines are kept as written";
    std::fprintf(stderr, "warning: %s; %s\n", warnings.front().describe().c_str(), kept.c_str());
}

Expected<void, ParseError> HiveFile::rebase(const std::optional<std::string>& onDisk) {
    if (onDisk == lastText_) return {};
    RegistryHive fresh = emptyHive();
    if (onDisk && !onDisk->empty()) {
        auto parsed = parseWineRegistry(*onDisk, file_.string());
        if (!parsed) return unexpected(parsed.error());
        fresh = std::move(parsed.value());
    }
    for (const HiveChange& change : pending_) applyHiveChange(fresh.root, change);
    for (DetachedKey& detached : detachVolatileKeys(hive_.root)) {
        // A volatile key whose parent is gone went with it.
        if (RegistryKey* parent = findKey(fresh.root, detached.parentPath)) {
            parent->adoptSubkey(std::move(detached.key));
        }
    }
    hive_ = std::move(fresh);
    lastText_ = onDisk;
    return {};
}

Expected<void, ParseError> HiveFile::reload() {
    std::error_code ec;
    std::optional<std::string> onDisk;
    if (std::filesystem::exists(file_, ec)) {
        onDisk = readWholeFile(file_);
        if (!onDisk) return unexpected(ParseError{file_.string(), 0, 0, "cannot read the file"});
    } else if (ec) {
        return unexpected(ParseError{file_.string(), 0, 0, ec.message()});
    }
    return rebase(onDisk);
}

Expected<void, RegistryError> HiveFile::save() {
    if (pending_.empty()) return {};
    const auto failure = [](std::string message) {
        return unexpected(RegistryError{kErrorRegistryIoFailed, std::move(message)});
    };
    // The lock is the prefix folder's own: a lock file beside the hive would stay in the
    // prefix for good. Replacing a file inside the folder keeps the folder's inode.
    const FileLock lock = FileLock::onFolderOf(file_);
    if (!lock.locked())
        return failure("cannot lock " + file_.string() + ": " + lock.error().message());
    std::error_code ec;
    std::optional<std::string> onDisk;
    if (std::filesystem::exists(file_, ec)) {
        onDisk = readWholeFile(file_);
        if (!onDisk) return failure("cannot read " + file_.string());
    }
    // Someone else wrote the hive since we read it: build on their content.
    if (auto rebased = rebase(onDisk); !rebased) return failure(rebased.error().describe());
    std::string text = serialiseWineRegistry(hive_);
    if (const std::error_code written = writeFileAtomically(file_, text)) {
        return failure("cannot write " + file_.string() + ": " + written.message());
    }
    lastText_ = std::move(text);
    pending_.clear();
    return {};
}

}  // namespace kestrel::platform
