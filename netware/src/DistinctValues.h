// The values of one attribute seen so far, to refuse one given twice. Values compare as the
// client's searches compare them: text (except case exact strings) without regard to the case
// of ASCII letters, everything else byte for byte.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace nw {

class DistinctValues {
  public:
    void clear();
    // False when an equal value was inserted since the last clear().
    bool insert(std::uint32_t syntax, std::string_view value);

  private:
    // Most attributes hold a value or a few: those are compared in a list, longer ones in a
    // set.
    static constexpr std::size_t kListed = 16;
    std::vector<std::string> listed_;
    std::unordered_set<std::string> hashed_;
    std::string key_;
};

}  // namespace nw
