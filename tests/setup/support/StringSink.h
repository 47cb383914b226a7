// A data sink for the source tests: keeps what it is given, counts the blocks, and can stop
// after a number of bytes as Cancel or a failed write would.
#pragma once

#include <cstddef>
#include <limits>
#include <string>

#include "copy/DataSink.h"

namespace kestrel::test {

class StringSink : public setup::copy::DataSink {
  public:
    bool take(std::span<const std::byte> block) override {
        if (data.size() >= stopAfter) return false;
        data.append(reinterpret_cast<const char*>(block.data()), block.size());
        ++blocks;
        largestBlock = std::max(largestBlock, block.size());
        return true;
    }

    std::string data;
    std::size_t blocks = 0;
    std::size_t largestBlock = 0;
    std::size_t stopAfter = std::numeric_limits<std::size_t>::max();
};

}  // namespace kestrel::test
