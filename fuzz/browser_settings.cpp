// KESTRELSCOPE.INI as the browser reads its three settings at start.
#include "FuzzInput.h"
#include "window/SettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const kestrel::fuzz::MemoryFile file(data, size);
    const kestrel::browser::SettingsFile settings(file.path());
    for (const auto key : {kestrel::browser::kStartContextKey, kestrel::browser::kStartTreeKey,
                           kestrel::browser::kInventoryServerKey})
        (void)settings.read(key);
    return 0;
}
