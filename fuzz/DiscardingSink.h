// A copy target that keeps nothing: the sources' data are only counted, and a source that
// passes more than it announced is a fault of the reader.
#pragma once

#include <cstdint>
#include <span>

#include "copy/DataSink.h"

namespace kestrel::fuzz {

class DiscardingSink : public setup::copy::DataSink {
  public:
    bool take(std::span<const std::byte> block) override {
        received += block.size();
        return true;
    }
    std::uint64_t received = 0;
};

}  // namespace kestrel::fuzz
