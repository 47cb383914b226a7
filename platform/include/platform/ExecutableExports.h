#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/Expected.h"

namespace kestrel::platform {

// Whether a Windows library (32- or 64-bit PE file) exports a function of that name, read
// from its export table without loading it: the installer asks this of libraries it is
// told to register, also where no Windows loader is at hand. The error says why the file
// could not be read ("not a Windows program or library", "corrupt executable: ...").
Expected<bool, std::string> exportsFunction(const std::filesystem::path& file,
                                            std::string_view name);

}  // namespace kestrel::platform
