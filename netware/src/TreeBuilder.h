// Builds the indexes of one tree while its objects arrive in file order: names, postings,
// and (once all are in) the links from each object to its container, which came before it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Directory.h"

namespace nw {

class TreeBuilder {
  public:
    std::uint32_t size() const { return static_cast<std::uint32_t>(keys_.size()); }
    enum class Added { Taken, Duplicate, NoContainer };
    // Takes the next object under its key (lower-cased typed full name), unless an object of
    // that key exists already or its container (the name after the first part) was not taken
    // before it. `container` receives the container's index, nothing for a top object.
    Added add(std::string key, std::optional<std::uint32_t>* container);
    void post(const std::string& posting, std::uint32_t index);
    // Links every object to its container.
    void link();
    TreeIndex take() { return std::move(index_); }

  private:
    TreeIndex index_;
    std::vector<const std::string*> keys_;  // into index_.byKey, whose nodes never move
};

}  // namespace nw
