#include "TakenEntries.h"

#include <algorithm>

namespace nw {

namespace {

// FNV-1a over the lower-cased DN.
std::uint64_t hashOf(std::string_view dn) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : dn) {
        if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
        hash = (hash ^ c) * 0x100000001b3ull;
    }
    return hash;
}

}  // namespace

bool TakenEntries::first(std::string_view dn) {
    const std::uint64_t hash = hashOf(dn);
    // A server sends each entry once: only those of an earlier pass need looking up.
    if (std::binary_search(hashes_.begin(), hashes_.begin() + static_cast<long>(sorted_), hash))
        return false;
    hashes_.push_back(hash);
    return true;
}

void TakenEntries::restart() {
    std::sort(hashes_.begin(), hashes_.end());
    sorted_ = hashes_.size();
}

}  // namespace nw
