// LZ-compressed (SZDD) source files as the copy engine expands them through libmspack.
#include <cstdio>

#include "DiscardingSink.h"
#include "FuzzInput.h"
#include "copy/LzSource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrel::setup::copy;
    const kestrel::fuzz::MemoryFile file(data, size);
    const auto header = inspectLzFile(file.path());
    if (header) (void)lzOriginalName("FOO.DL_", header->missingChar);
    kestrel::fuzz::DiscardingSink sink;
    const auto expanded = readLzFile(file.path(), sink);
    if (expanded && sink.received != expanded->length) {
        std::fprintf(stderr, "LZ file of %llu bytes expanded to %llu\n",
                     static_cast<unsigned long long>(expanded->length),
                     static_cast<unsigned long long>(sink.received));
        std::abort();
    }
    return 0;
}
