// The directory as the client serves it: trees of objects in file order, each with its
// base class, attributes and (for users) a password hash. Immutable once loaded.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "DirectoryName.h"

namespace nw {

// One attribute with its values in the wire form of the reply buffers: text as UTF-8,
// 32-bit numbers as four bytes, octet strings as their bytes, network addresses as the
// four-byte address type followed by the address bytes.
struct Attribute {
    std::string name;
    std::uint32_t syntax = 0;
    std::vector<std::string> values;
};

constexpr int kRootIndex = -1;

struct DirectoryObject {
    std::string name;  // typed full name as stored, leaf first
    std::string baseClass;
    int parent = kRootIndex;
    std::uint32_t depth = 1;  // number of components
    std::string passwordHash;
    std::vector<Attribute> attributes;
    std::vector<int> children;  // in file order
};

class Tree {
  public:
    explicit Tree(std::string name) : name_(std::move(name)) {}

    const std::string& name() const { return name_; }
    const std::vector<DirectoryObject>& objects() const { return objects_; }
    const DirectoryObject& object(int index) const {
        return objects_[static_cast<std::size_t>(index)];
    }
    // Children of an object, or of the root for kRootIndex.
    const std::vector<int>& children(int index) const;
    // Index of the object with that name, kRootIndex for the root, nullopt when absent.
    std::optional<int> find(const AbsoluteName& name) const;
    // True when `index` is `ancestor` or lies below it.
    bool isWithin(int index, int ancestor) const;

    // Building (the loader): objects are appended in file order, then linked.
    bool add(DirectoryObject object, const std::string& key);
    // Links every object to its container; returns the index of the first object whose
    // container is missing, or -1.
    int link();

  private:
    std::string name_;
    std::vector<DirectoryObject> objects_;
    std::unordered_map<std::string, int> byKey_;
    std::vector<int> rootChildren_;
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
