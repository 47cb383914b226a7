#include "DistinctValues.h"

#include <algorithm>

#include "DirectoryName.h"
#include "nwkit/Syntax.h"
#include "nwnet.h"

namespace nw {

void DistinctValues::clear() {
    listed_.clear();
    hashed_.clear();
}

bool DistinctValues::insert(std::uint32_t syntax, std::string_view value) {
    bool ignoreCase = kit::isTextSyntax(syntax) && syntax != SYN_CE_STRING;
    key_ = ignoreCase ? asciiLower(value) : std::string(value);
    if (!hashed_.empty()) return hashed_.insert(key_).second;
    if (std::find(listed_.begin(), listed_.end(), key_) != listed_.end()) return false;
    if (listed_.size() < kListed) {
        listed_.push_back(key_);
        return true;
    }
    hashed_.insert(listed_.begin(), listed_.end());
    hashed_.insert(key_);
    return true;
}

}  // namespace nw
