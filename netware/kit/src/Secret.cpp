#include "nwkit/Secret.h"

#include <cstring>

namespace nw::kit {

Secret::Secret(std::string_view text) {
    // Reserved once, so that no growing leaves a copy behind in freed memory.
    bytes_.reserve(text.size() + 1);
    bytes_.assign(text.begin(), text.end());
    bytes_.push_back('\0');
}

Secret::Secret(Secret&& other) noexcept : bytes_(std::move(other.bytes_)) {}

Secret& Secret::operator=(Secret&& other) noexcept {
    wipe();
    bytes_ = std::move(other.bytes_);
    return *this;
}

Secret::~Secret() {
    wipe();
}

void Secret::wipe() {
    // An empty one may have no storage at all, and explicit_bzero takes no null pointer.
    if (!bytes_.empty()) explicit_bzero(bytes_.data(), bytes_.size());
    bytes_.clear();
}

}  // namespace nw::kit
