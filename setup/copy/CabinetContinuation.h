#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kestrel::setup::copy {

// The members of a cabinet whose data run on into the next cabinet of its set (the folder
// index 0xFFFE or 0xFFFF in their file entry). libmspack keeps that mark to itself; without
// it a reader could not tell, before extracting, whether a member needs the next disk. A
// cabinet whose file entries cannot be read gives none: opening it reports the fault.
std::vector<std::string> membersContinuingToNext(const std::filesystem::path& cabinet);

}  // namespace kestrel::setup::copy
