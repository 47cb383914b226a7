// Quillbox.Cfg as the logger reads it at start.
#include "ConfigFile.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kestrel::rclog::Settings settings;
    (void)kestrel::rclog::applyConfig(kestrel::fuzz::text(data, size), settings);
    return 0;
}
