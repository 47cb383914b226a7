// The entries a listing or search took from its servers so far, so that one that starts again
// (on a new connection, or on another server of the tree) passes over them and loses or
// repeats nothing, whatever order the new server answers in. An entry is known by a 64-bit
// hash of its DN: eight bytes for each, kept while the listing lasts.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace nw {

class TakenEntries {
  public:
    // True the first time an entry of this DN (compared without regard to ASCII case) comes.
    bool first(std::string_view dn);
    // The search starts again from its beginning.
    void restart();

  private:
    std::vector<std::uint64_t> hashes_;  // in the order taken
    std::size_t sorted_ = 0;             // hashes_[0, sorted_): sorted, taken before a restart
};

}  // namespace nw
