#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "copy/CopyServices.h"
#include "platform/Expected.h"

namespace kestrel::setup::copy {

// Gives a copied file the times and DOS attributes its source had. A plain (or compressed)
// source passes its modification and access times; read-only is set exactly when the line
// says RDONLY, the line's HIDDEN and SYSTEM are added to the source's own hidden, system and
// archive bits. A cabinet member passes its stored date and time (local time); its
// attributes are the member's read-only, hidden, system and archive bits with the line's.
// A plain source with execute bits gives the copy execute bits where it may be read.
[[nodiscard]] platform::Expected<void, std::string> applyTimesAndAttributes(
    const std::filesystem::path& target, const SourceFacts& source, std::uint32_t lineAttributes);

}  // namespace kestrel::setup::copy
