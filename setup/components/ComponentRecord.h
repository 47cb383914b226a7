#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "components/Component.h"

namespace kestrel::setup {

// The component record as the extension hook receives it (event 6): three texts of 256
// characters (name, text, description), then 32-bit little-endian fields: flags, icon,
// size, parent, first child, last child, next sibling, previous sibling, level, group,
// group kind, selected, saved selection, installed, dependency count, and the address of
// the dependency list (32-bit indices), 832 bytes in all.
inline constexpr std::size_t kComponentRecordSize = 832;
using ComponentRecord = std::array<std::uint8_t, kComponentRecordSize>;

// The record of a component; `dependencyList` is where the hook's module finds the list
// that dependencyListBytes gives. Texts are cut to 255 characters and end with a zero.
ComponentRecord componentRecord(const Component& component, std::uint32_t dependencyList);
std::vector<std::uint8_t> dependencyListBytes(const Component& component);

}  // namespace kestrel::setup
