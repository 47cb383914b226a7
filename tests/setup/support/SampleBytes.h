// Test content for the copy sources: text that compresses, but not to nothing, and differs
// with the seed.
#pragma once

#include <cstddef>
#include <string>

namespace kestrel::test {

inline std::string sampleBytes(std::size_t size, unsigned seed) {
    std::string bytes;
    unsigned state = seed;
    while (bytes.size() < size) {
        state = state * 1103515245u + 12345u;
        bytes += "line " + std::to_string(state % 100000) + " of the sample; ";
    }
    bytes.resize(size);
    return bytes;
}

}  // namespace kestrel::test
