// Wine registry hives (system.reg, user.reg) as the host layer loads them. What was read must
// survive a save: the written hive reads back to the same text.
#include <cstdio>

#include "FuzzInput.h"
#include "platform/WineRegistryFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrel::platform;
    const auto hive = parseWineRegistry(kestrel::fuzz::text(data, size), "system.reg");
    if (!hive) return 0;
    const std::string saved = serialiseWineRegistry(*hive);
    const auto reread = parseWineRegistry(saved, "system.reg");
    if (!reread || serialiseWineRegistry(*reread) != saved) {
        std::fprintf(stderr, "a saved hive does not read back as saved:\n%s\n", saved.c_str());
        std::abort();
    }
    return 0;
}
