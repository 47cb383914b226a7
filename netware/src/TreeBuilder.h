// Builds the indexes of one tree while its objects arrive in file order: names, postings,
// and (once all are in) the links from each object to its container.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Directory.h"

namespace nw {

class TreeBuilder {
  public:
    std::uint32_t size() const { return static_cast<std::uint32_t>(keys_.size()); }
    // Takes the next object under its key (lower-cased typed full name); false when an
    // object of that key exists already. `name` is kept only while its container is unseen,
    // for the message should the container never come.
    bool add(std::string key, std::string_view name);
    void post(const std::string& posting, std::uint32_t index);
    // Links every object to its container; returns the index of the first object whose
    // container is missing, or -1.
    long link();
    // The name of an object whose container was missing when it was added.
    std::string unlinkedName(std::uint32_t index) const;
    TreeIndex take() { return std::move(index_); }

  private:
    TreeIndex index_;
    std::vector<const std::string*> keys_;  // into index_.byKey, whose nodes never move
    std::unordered_map<std::uint32_t, std::string> unlinked_;
};

}  // namespace nw
