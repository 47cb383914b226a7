// Windows executables (PE and NE) as the installer reads them: the version resource found
// through the resource directory, and the export table searched for the registration entry.
#include "FuzzInput.h"
#include "platform/ExecutableExports.h"
#include "platform/VersionInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrel::platform;
    const kestrel::fuzz::MemoryFile file(data, size);
    if (const auto info = VersionInfo::read(file.path()))
        (void)info->string(info->defaultTranslation(), "FileVersion");
    (void)exportsFunction(file.path(), "DllRegisterServer");
    return 0;
}
