// The name index of a tree: which objects' own naming components contain a text. Beside the
// components themselves (each object's lower-cased typed component, "cn=ws17", ended by a
// NUL), every three-byte run of a component is posted with the objects holding it, so a
// text of three bytes or more is found through the postings of its runs, reading a few
// components instead of all of them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace nw {

class TreeRecords;

constexpr std::size_t kTrigramBytes = 3;

// Three bytes as one number: the key of their posting.
std::uint32_t trigramKey(std::string_view three);

// Run key -> the indexes of the objects whose component holds the run, ascending.
using TrigramPostings = std::unordered_map<std::uint32_t, std::string>;

// Posts the runs of object `index`'s component; objects are posted in ascending order.
void postTrigrams(TrigramPostings& postings, std::string_view component, std::uint32_t index);

// The objects whose own component contains `lowerText` (lower-cased, not empty), ascending.
std::vector<std::uint32_t> componentsContaining(const TreeRecords& records,
                                                std::string_view lowerText);

}  // namespace nw
