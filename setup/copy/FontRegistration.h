#pragma once

#include <string>
#include <string_view>

#include "copy/CopyServices.h"
#include "ops/OperationContext.h"

namespace kestrel::setup::copy {

// Whether the destination is a font the system loads (.ttf, .fon).
bool isFontFile(std::string_view windowsPath);

// The key (HKLM) the system's fonts are listed under: Software, Microsoft, the variable
// WindowsName ("Windows NT" or "Windows"), CurrentVersion, Fonts.
std::string fontsKey(const OperationContext& context);

// Lists the font under its display name (the line's extra field; the bare file name when
// the line gives none, so that no other font's entry or the key's default value is taken).
// The data is the file's path, or only its name when it lies in the fonts folder, where the
// system looks for it. Wine loads listed fonts when the prefix starts, so that is all the
// running system needs; the fonts-changed flag is set. A failure shows 5518: false when the
// person cancelled it.
[[nodiscard]] bool registerFont(OperationContext& context, const InstalledFile& file);

// Takes the font's entry away; a missing entry is no failure.
void unregisterFont(OperationContext& context, const InstalledFile& file);

}  // namespace kestrel::setup::copy
