// The compiled directory in an LMDB environment: one file, memory-mapped and shared by every
// process that reads it, never changed once built (a changed directory file gets a new one).
//
//   meta      "header": format version, builder's pid, source identity, content hash, path
//             "trees": tree count, then per tree its object count and name
//   objects   tree + index (big-endian, so appends stay in key order) -> object record
//   heads     tree + index -> the record's head (name, class, hash): listings read these
//   links     tree -> parent + 1, depth, child count per object
//   children  tree + slot -> child indexes in file order (absent when none)
//   names     tree + lower-cased full name -> index
//   postings  tree + posting (class) -> indexes, ascending
//   trigrams  tree + three bytes of a naming component -> indexes, ascending (NameIndex.h)
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "DirectoryLoader.h"

namespace nw {

constexpr std::uint32_t kStoreFormat = 4;

// What the store was built from; a store whose source differs is not used.
struct SourceIdentity {
    std::uint64_t device = 0, inode = 0, size = 0, modified = 0, changed = 0;
    std::uint64_t contentHash = 0;
    std::string path;
};

struct StoreHeader {
    std::uint32_t format = 0;
    std::uint32_t builder = 0;  // process id of the process that built it
    SourceIdentity source;
};

// Writes a new store at `file` (which must not exist) inside one build; nothing of it is
// usable before finish() returned without an error.
class LmdbWriter : public DirectorySink {
  public:
    // Sink errors (SinkError) name the store file and LMDB's reason.
    LmdbWriter(const std::filesystem::path& file, std::size_t mapSize);
    ~LmdbWriter() override;
    void beginTree() override;
    void putObject(std::uint32_t index, std::string_view record) override;
    void endTree(const std::string& name, TreeIndex index) override;
    // Writes the header and the tree list, commits and makes the file durable.
    void finish(const SourceIdentity& source);

  private:
    void putTrigrams(const TrigramPostings& trigrams);
    struct Environment;
    std::unique_ptr<Environment> env_;
    std::uint16_t tree_ = 0;
    std::uint32_t pending_ = 0;
    std::string trees_;
    std::string heads_;  // of the tree being written
    std::vector<std::size_t> headEnds_;
};

// Opens a built store read-only; null with the reason when it is missing, damaged or not
// an LMDB store of this format.
struct OpenedStore {
    std::shared_ptr<const Directory> directory;
    StoreHeader header;
};
kestrel::platform::Expected<OpenedStore, std::string> openStore(const std::filesystem::path& file);

}  // namespace nw
