// Version resources (VS_VERSION_INFO) in both forms: wide (32-bit files) and single-byte
// (16-bit files); the first input byte says which.
#include "FuzzInput.h"
#include "platform/VersionInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using kestrel::platform::VersionInfo;
    if (size == 0) return 0;
    const bool wide = data[0] % 2 == 0;
    const auto info =
        VersionInfo::parse(std::span(reinterpret_cast<const std::byte*>(data + 1), size - 1), wide);
    if (!info) return 0;
    const auto translation = info->defaultTranslation();
    for (const char* name : {"FileVersion", "ProductVersion", "CompanyName", "ProductName"})
        (void)info->string(translation, name);
    (void)kestrel::platform::versionText(info->fixed().fileVersion);
    return 0;
}
