#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrel::setup::copy {

// The cabinet file name for a disk, from the (already expanded) template of the script's
// disks: without a '0' the template names the same cabinet for every disk; otherwise the disk
// number, zero-padded to as many digits as the template has '0' characters in all, is written
// over the template from its first '0' onward ("Data00.cab", 7 -> "Data07.cab";
// "D0ata0.cab", 7 -> "D07ta0.cab"). Without a disk number the cabinet is "Setup.cab".
std::string cabinetFileName(std::string_view nameTemplate, std::optional<int> disk);

}  // namespace kestrel::setup::copy
