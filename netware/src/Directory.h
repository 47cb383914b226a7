// The directory as the client serves it: trees of objects in file order, each with its base
// class, attributes and (for users) a password hash. Immutable once opened. The objects live
// in records (see ObjectRecord.h) that come from the compiled store or from memory; a call
// reads only the records it returns.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "DirectoryName.h"
#include "NameIndex.h"
#include "ObjectRecord.h"

namespace nw {

constexpr int kRootIndex = -1;

// The indexes of one tree beside its object records: names, structure and classes.
struct TreeIndex {
    // Lower-cased typed full name -> object index.
    std::unordered_map<std::string, std::uint32_t> byKey;
    // Per object: parent index + 1 (0 for the root), depth, number of children.
    std::string links;
    // Per slot (0 the root, index + 1 an object): the child indexes in file order.
    std::vector<std::string> children;
    // "c:" + lower-cased base class, "o:" + lower-cased "Object Class" value -> the
    // indexes of the objects with it, ascending.
    std::map<std::string, std::string> postings;
    // Each object's lower-cased typed naming component, ended by a NUL, in file order, and
    // where each begins, and their three-byte runs: the name index (NameIndex.h).
    std::string components;
    std::string componentStarts;
    TrigramPostings trigrams;
};
constexpr std::size_t kLinkBytes = 12;
// The attribute every object answers for with its class names (text values only).
constexpr std::string_view kObjectClassAttribute = "Object Class";

std::string baseClassPosting(std::string_view className);
std::string objectClassPosting(std::string_view className);

// Where a tree's records are read from.
class TreeRecords {
  public:
    virtual ~TreeRecords() = default;
    virtual std::size_t size() const = 0;
    virtual std::string_view object(std::uint32_t index) const = 0;
    // The start of the object's record: name, base class, password hash.
    virtual std::string_view head(std::uint32_t index) const = 0;
    virtual std::string_view links() const = 0;
    virtual std::string_view children(std::uint32_t slot) const = 0;
    virtual std::optional<std::uint32_t> find(std::string_view key) const = 0;
    virtual std::string_view postings(std::string_view key) const = 0;
    virtual std::string_view components() const = 0;
    virtual std::string_view componentStarts() const = 0;
    // The objects whose component holds the run of trigramKey `key`, ascending.
    virtual std::string_view trigrams(std::uint32_t key) const = 0;
};

class Tree {
  public:
    Tree(std::string name, std::shared_ptr<const TreeRecords> records)
        : name_(std::move(name)), records_(std::move(records)) {}

    const std::string& name() const { return name_; }
    std::size_t size() const { return records_->size(); }
    ObjectView object(int index) const;
    // Name, base class and password hash only (no attributes): what listings need, without
    // reading the rest of the object.
    ObjectView head(int index) const;
    int parent(int index) const;
    std::uint32_t depth(int index) const;
    // Children of an object, or of the root for kRootIndex, in file order.
    NumberArray children(int index) const;
    std::uint32_t childCount(int index) const;
    // Index of the object with that name, kRootIndex for the root, nullopt when absent.
    std::optional<int> find(const AbsoluteName& name) const;
    // True when `index` is `ancestor` or lies below it.
    bool isWithin(int index, int ancestor) const;
    // The objects with a posting (baseClassPosting, objectClassPosting), ascending.
    NumberArray withPosting(std::string_view key) const;
    // The objects whose own naming component contains `lowerText` (lower-cased), and every
    // object below them, ascending.
    std::vector<std::uint32_t> namedLike(std::string_view lowerText) const;

  private:
    std::uint32_t link(int index, std::size_t field) const;

    std::string name_;
    std::shared_ptr<const TreeRecords> records_;
};

class Directory {
  public:
    std::vector<Tree>& trees() { return trees_; }
    const std::vector<Tree>& trees() const { return trees_; }
    const Tree* findTree(std::string_view name) const;
    int treeIndex(std::string_view name) const;  // -1 when absent

  private:
    std::vector<Tree> trees_;
};

}  // namespace nw
