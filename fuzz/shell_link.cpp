// Shell links (.lnk) as the installer and the browser read them: links of any origin decode
// or are refused, and what was decoded encodes to a link that decodes the same.
#include <cstdio>

#include "FuzzInput.h"
#include "platform/ShellLink.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrel::platform;
    const auto link = decodeShellLink(std::vector<std::uint8_t>(data, data + size));
    if (!link) return 0;
    const std::vector<std::uint8_t> encoded = encodeShellLink(*link);
    if (encoded.empty()) return 0;  // longer texts than the format can count
    if (decodeShellLink(encoded) != link) {
        std::fprintf(stderr, "a decoded link does not come back from its encoding\n");
        std::abort();
    }
    return 0;
}
