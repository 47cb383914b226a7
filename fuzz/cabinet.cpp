// Cabinet files as the copy engine opens them through libmspack: members found, the set's
// next cabinet named, and a member extracted. Input: the member's name, a NUL, the cabinet.
#include <cstdio>

#include "DiscardingSink.h"
#include "FuzzInput.h"
#include "copy/CabinetSource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrel::setup::copy;
    const auto [name, cabinet] = kestrel::fuzz::splitAtNul(kestrel::fuzz::text(data, size));
    const kestrel::fuzz::MemoryFile file(reinterpret_cast<const std::uint8_t*>(cabinet.data()),
                                         cabinet.size());
    auto source = CabinetSource::open(file.path());
    if (!source) return 0;
    (void)source->next();
    const auto member = source->find(name);
    if (!member) return 0;
    (void)source->continuesPastEnd(name);
    kestrel::fuzz::DiscardingSink sink;
    const auto extracted = source->extract(name, sink);
    if (extracted && sink.received != extracted->length) {
        std::fprintf(stderr, "member of %u bytes extracted as %llu\n", extracted->length,
                     static_cast<unsigned long long>(sink.received));
        std::abort();
    }
    return 0;
}
