#include "LmdbStore.h"

#include <fcntl.h>
#include <lmdb.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace nw {

namespace {

enum Table : std::size_t {
    kMeta,
    kObjects,
    kHeads,
    kLinks,
    kChildren,
    kNames,
    kPostings,
    kTrigrams,
    kTables
};
constexpr std::array<const char*, kTables> kTableNames = {
    "meta", "objects", "heads", "links", "children", "names", "postings", "trigrams"};
// Commit the build every so many objects, so that one transaction never holds the whole
// directory's dirty pages in memory.
constexpr std::uint32_t kObjectsPerCommit = 20000;
// Beside each tree's links: its name index.
constexpr std::string_view kComponents = "components";
constexpr std::string_view kComponentStarts = "starts";

std::string treeKey(std::uint16_t tree, std::string_view rest = {}) {
    std::string key;
    key.push_back(static_cast<char>(tree >> 8));
    key.push_back(static_cast<char>(tree & 0xFF));
    key.append(rest);
    return key;
}

std::string treeKey(std::uint16_t tree, std::uint32_t number, int bytes = 4) {
    std::string key = treeKey(tree);
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        key.push_back(static_cast<char>(number >> shift));
    return key;
}

// A run of the name index: its three bytes after the tree's.
std::string trigramTableKey(std::uint16_t tree, std::uint32_t trigram) {
    return treeKey(tree, trigram, kTrigramBytes);
}

MDB_val valueOf(std::string_view bytes) {
    return MDB_val{bytes.size(), const_cast<char*>(bytes.data())};
}

void appendWide(std::string& out, std::uint64_t value) {
    appendNumber(out, static_cast<std::uint32_t>(value));
    appendNumber(out, static_cast<std::uint32_t>(value >> 32));
}

bool readWide(RecordCursor& in, std::uint64_t* value) {
    std::uint32_t low = 0, high = 0;
    if (!in.number(&low) || !in.number(&high)) return false;
    *value = (static_cast<std::uint64_t>(high) << 32) | low;
    return true;
}

std::string encodeHeader(const StoreHeader& header) {
    std::string out;
    appendNumber(out, header.format);
    appendNumber(out, header.builder);
    for (std::uint64_t value :
         {header.source.device, header.source.inode, header.source.size, header.source.modified,
          header.source.changed, header.source.contentHash})
        appendWide(out, value);
    appendText(out, header.source.path);
    return out;
}

bool decodeHeader(std::string_view bytes, StoreHeader* header) {
    RecordCursor in(bytes);
    std::string_view path;
    auto& s = header->source;
    bool whole = in.number(&header->format) && in.number(&header->builder) &&
                 readWide(in, &s.device) && readWide(in, &s.inode) && readWide(in, &s.size) &&
                 readWide(in, &s.modified) && readWide(in, &s.changed) &&
                 readWide(in, &s.contentHash) && in.text(&path) && in.rest().empty();
    s.path = std::string(path);
    return whole;
}

}  // namespace

// ---- building ----

struct LmdbWriter::Environment {
    std::filesystem::path file;
    MDB_env* env = nullptr;
    MDB_txn* txn = nullptr;
    std::array<MDB_dbi, kTables> tables{};

    void check(int rc, const char* doing) const {
        if (rc != MDB_SUCCESS)
            throw SinkError{"cannot " + std::string(doing) + " the compiled directory " +
                            file.string() + ": " + mdb_strerror(rc)};
    }
    void put(Table table, std::string_view key, std::string_view value, unsigned flags = 0) {
        MDB_val k = valueOf(key), v = valueOf(value);
        check(mdb_put(txn, tables[table], &k, &v, flags), "write");
    }
    void commit() {
        int rc = mdb_txn_commit(txn);
        txn = nullptr;
        check(rc, "write");
    }
    void begin() { check(mdb_txn_begin(env, nullptr, 0, &txn), "write"); }
    ~Environment() {
        if (txn != nullptr) mdb_txn_abort(txn);
        if (env != nullptr) mdb_env_close(env);
    }
};

LmdbWriter::LmdbWriter(const std::filesystem::path& file, std::size_t mapSize)
    : env_(std::make_unique<Environment>()) {
    env_->file = file;
    env_->check(mdb_env_create(&env_->env), "create");
    env_->check(mdb_env_set_mapsize(env_->env, mapSize), "create");
    env_->check(mdb_env_set_maxdbs(env_->env, kTables), "create");
    // Nobody else opens the file before it is renamed into place, and finish() syncs it once.
    // Pages are written straight into the map: without that every page is first allocated
    // and then copied into the file at each commit, a third of the build's time.
    // The store holds the password hashes of the directory file: for the user alone, whatever
    // the umask.
    env_->check(mdb_env_open(env_->env, file.c_str(),
                             MDB_NOSUBDIR | MDB_NOLOCK | MDB_NOSYNC | MDB_WRITEMAP, 0600),
                "create");
    int fd = -1;
    env_->check(mdb_env_get_fd(env_->env, &fd), "create");
    if (::fchmod(fd, 0600) != 0)
        throw SinkError{"cannot make " + file.string() + " private: " + std::strerror(errno)};
    // Pages of a written map get their disk blocks only when first touched, and a full disk
    // then kills the process instead of failing a write: the blocks are reserved up front.
    int reserved = ::fallocate(fd, 0, 0, static_cast<off_t>(mapSize));
    if (reserved != 0 && errno != EOPNOTSUPP)
        throw SinkError{"cannot reserve " + std::to_string(mapSize >> 20) + " MB for " +
                        file.string() + ": " + std::strerror(errno)};
    env_->begin();
    for (std::size_t t = 0; t < kTables; ++t)
        env_->check(mdb_dbi_open(env_->txn, kTableNames[t], MDB_CREATE, &env_->tables[t]),
                    "create");
}

LmdbWriter::~LmdbWriter() = default;

void LmdbWriter::beginTree() {
    if (tree_ == UINT16_MAX) throw SinkError{"too many trees"};
}

void LmdbWriter::putObject(std::uint32_t index, std::string_view record) {
    env_->put(kObjects, treeKey(tree_, index), record, MDB_APPEND);
    // Heads are written together at the end of the tree, so that their pages lie side by
    // side: a listing then maps those pages, not the attribute pages between them.
    heads_.append(record.substr(0, ObjectView::headSize(record)));
    headEnds_.push_back(heads_.size());
    if (++pending_ == kObjectsPerCommit) {
        env_->commit();
        env_->begin();
        pending_ = 0;
    }
}

void LmdbWriter::endTree(const std::string& name, TreeIndex index) {
    std::uint32_t count = static_cast<std::uint32_t>(index.links.size() / kLinkBytes);
    std::size_t start = 0;
    for (std::uint32_t i = 0; i < headEnds_.size(); start = headEnds_[i++])
        env_->put(kHeads, treeKey(tree_, i),
                  std::string_view(heads_).substr(start, headEnds_[i] - start), MDB_APPEND);
    heads_.clear();
    headEnds_.clear();
    env_->put(kLinks, treeKey(tree_), index.links);
    env_->put(kLinks, treeKey(tree_, kComponents), index.components);
    env_->put(kLinks, treeKey(tree_, kComponentStarts), index.componentStarts);
    for (std::uint32_t slot = 0; slot < index.children.size(); ++slot)
        if (!index.children[slot].empty())
            env_->put(kChildren, treeKey(tree_, slot), index.children[slot], MDB_APPEND);
    // Names go in in key order: appending is several times faster than inserting at random.
    std::vector<const std::pair<const std::string, std::uint32_t>*> names;
    names.reserve(index.byKey.size());
    for (const auto& entry : index.byKey) names.push_back(&entry);
    std::sort(names.begin(), names.end(),
              [](const auto* a, const auto* b) { return a->first < b->first; });
    std::string number;
    for (const auto* entry : names) {
        number.clear();
        appendNumber(number, entry->second);
        env_->put(kNames, treeKey(tree_, entry->first), number, MDB_APPEND);
    }
    for (const auto& [posting, indexes] : index.postings)
        env_->put(kPostings, treeKey(tree_, posting), indexes, MDB_APPEND);
    putTrigrams(index.trigrams);
    appendNumber(trees_, count);
    appendText(trees_, name);
    ++tree_;
}

void LmdbWriter::putTrigrams(const TrigramPostings& trigrams) {
    std::vector<std::uint32_t> keys;
    keys.reserve(trigrams.size());
    for (const auto& entry : trigrams) keys.push_back(entry.first);
    std::sort(keys.begin(), keys.end());
    for (std::uint32_t key : keys)
        env_->put(kTrigrams, trigramTableKey(tree_, key), trigrams.at(key), MDB_APPEND);
}

void LmdbWriter::finish(const SourceIdentity& source) {
    StoreHeader header{kStoreFormat, static_cast<std::uint32_t>(::getpid()), source};
    std::string trees;
    appendNumber(trees, tree_);
    trees += trees_;
    env_->put(kMeta, "header", encodeHeader(header));
    env_->put(kMeta, "trees", trees);
    env_->commit();
    env_->check(mdb_env_sync(env_->env, 1), "write");
    // The written map made the file as long as the whole map; readers need only the pages
    // in use, so the rest goes (it was never written, but would count as the file's size).
    MDB_envinfo info{};
    MDB_stat stat{};
    mdb_env_info(env_->env, &info);
    mdb_env_stat(env_->env, &stat);
    mdb_env_close(env_->env);
    env_->env = nullptr;
    const auto used = static_cast<off_t>((info.me_last_pgno + 1) * stat.ms_psize);
    if (::truncate(env_->file.c_str(), used) != 0)
        throw SinkError{"cannot shorten the compiled directory " + env_->file.string() + ": " +
                        std::strerror(errno)};
}

// ---- reading ----

namespace {

class LmdbReader {
  public:
    ~LmdbReader() {
        if (txn_ != nullptr) mdb_txn_abort(txn_);
        if (env_ != nullptr) mdb_env_close(env_);
    }
    std::string open(const std::filesystem::path& file);
    std::string_view get(Table table, std::string_view key) const {
        MDB_val k = valueOf(key), v{};
        if (mdb_get(txn_, tables_[table], &k, &v) != MDB_SUCCESS) return {};
        return {static_cast<const char*>(v.mv_data), v.mv_size};
    }

  private:
    MDB_env* env_ = nullptr;
    MDB_txn* txn_ = nullptr;
    std::array<MDB_dbi, kTables> tables_{};
};

std::string LmdbReader::open(const std::filesystem::path& file) {
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0) return "missing";
    int rc = mdb_env_create(&env_);
    if (rc == MDB_SUCCESS) rc = mdb_env_set_maxdbs(env_, kTables);
    // The file never changes once in place, so readers need no lock table; one read
    // transaction for the life of the store keeps every record's address valid.
    if (rc == MDB_SUCCESS)
        rc = mdb_env_open(env_, file.c_str(),
                          MDB_RDONLY | MDB_NOSUBDIR | MDB_NOLOCK | MDB_NOTLS | MDB_NORDAHEAD, 0);
    if (rc != MDB_SUCCESS) return mdb_strerror(rc);
    MDB_envinfo info{};
    MDB_stat stat{};
    mdb_env_info(env_, &info);
    mdb_env_stat(env_, &stat);
    // A cut-off file would fault when a page beyond its end is read: refuse it here.
    if ((info.me_last_pgno + 1) * static_cast<std::uint64_t>(stat.ms_psize) >
        static_cast<std::uint64_t>(status.st_size))
        return "truncated";
    rc = mdb_txn_begin(env_, nullptr, MDB_RDONLY, &txn_);
    for (std::size_t t = 0; rc == MDB_SUCCESS && t < kTables; ++t)
        rc = mdb_dbi_open(txn_, kTableNames[t], 0, &tables_[t]);
    return rc == MDB_SUCCESS ? std::string() : std::string(mdb_strerror(rc));
}

class LmdbRecords : public TreeRecords {
  public:
    LmdbRecords(std::shared_ptr<const LmdbReader> reader, std::uint16_t tree, std::uint32_t size)
        : reader_(std::move(reader)),
          tree_(tree),
          size_(size),
          links_(reader_->get(kLinks, treeKey(tree))) {}

    bool intact() const { return links_.size() == static_cast<std::size_t>(size_) * kLinkBytes; }
    std::size_t size() const override { return size_; }
    std::string_view object(std::uint32_t index) const override {
        return reader_->get(kObjects, treeKey(tree_, index));
    }
    std::string_view head(std::uint32_t index) const override {
        return reader_->get(kHeads, treeKey(tree_, index));
    }
    std::string_view links() const override { return links_; }
    std::string_view children(std::uint32_t slot) const override {
        return reader_->get(kChildren, treeKey(tree_, slot));
    }
    std::optional<std::uint32_t> find(std::string_view key) const override {
        std::string_view found = reader_->get(kNames, treeKey(tree_, key));
        if (found.size() != 4) return std::nullopt;
        std::uint32_t index = numberAt(found, 0);
        if (index >= size_) return std::nullopt;
        return index;
    }
    std::string_view postings(std::string_view key) const override {
        return reader_->get(kPostings, treeKey(tree_, key));
    }
    std::string_view components() const override {
        return reader_->get(kLinks, treeKey(tree_, kComponents));
    }
    std::string_view componentStarts() const override {
        return reader_->get(kLinks, treeKey(tree_, kComponentStarts));
    }
    std::string_view trigrams(std::uint32_t key) const override {
        return reader_->get(kTrigrams, trigramTableKey(tree_, key));
    }

  private:
    std::shared_ptr<const LmdbReader> reader_;
    std::uint16_t tree_;
    std::uint32_t size_;
    std::string_view links_;
};

}  // namespace

kestrel::platform::Expected<OpenedStore, std::string> openStore(const std::filesystem::path& file) {
    using kestrel::platform::unexpected;
    auto reader = std::make_shared<LmdbReader>();
    if (std::string reason = reader->open(file); !reason.empty()) return unexpected(reason);
    OpenedStore opened;
    if (!decodeHeader(reader->get(kMeta, "header"), &opened.header))
        return unexpected(std::string("no header"));
    if (opened.header.format != kStoreFormat)
        return unexpected("format " + std::to_string(opened.header.format));
    auto directory = std::make_shared<Directory>();
    RecordCursor trees(reader->get(kMeta, "trees"));
    std::uint32_t count = 0;
    if (!trees.number(&count) || count > UINT16_MAX) return unexpected(std::string("no tree list"));
    for (std::uint32_t t = 0; t < count; ++t) {
        std::uint32_t size = 0;
        std::string_view name;
        if (!trees.number(&size) || !trees.text(&name))
            return unexpected(std::string("damaged tree list"));
        auto records = std::make_shared<LmdbRecords>(reader, static_cast<std::uint16_t>(t), size);
        if (!records->intact()) return unexpected(std::string("damaged tree ") + std::string(name));
        directory->trees().emplace_back(std::string(name), std::move(records));
    }
    opened.directory = std::move(directory);
    return opened;
}

}  // namespace nw
