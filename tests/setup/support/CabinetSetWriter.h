// Writes cabinet sets whose folders continue from one cabinet into the next, which the
// distribution's cabinet tools cannot make: stored and MSZIP folders, split data blocks at
// every cabinet boundary, the previous and next cabinet and disk names in the headers, and
// the continued-file folder indices 0xFFFD, 0xFFFE and 0xFFFF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace kestrel::test {

struct CabinetFile {
    std::string name;
    std::string data;
    std::uint16_t attributes = 0x20;                // archive
    std::uint16_t date = (21 << 9) | (2 << 5) | 3;  // 2001-02-03
    std::uint16_t time = (4 << 11) | (5 << 5) | 3;  // 04:05:06
};

enum class CabinetCompression : std::uint16_t { Stored = 0, Mszip = 1 };

struct CabinetFolder {
    CabinetCompression compression = CabinetCompression::Mszip;
    std::vector<CabinetFile> files;
};

struct CabinetSetLayout {
    // Compressed data bytes a cabinet holds before its last block is split into the next.
    std::size_t cabinetData = 65536;
    // The n-th cabinet's file name and the name of the disk it is on, n counted from 1.
    std::function<std::string(int)> cabinetName = [](int n) {
        return "Data0" + std::to_string(n) + ".cab";
    };
    std::function<std::string(int)> diskName = [](int n) { return "Disk " + std::to_string(n); };
    std::uint16_t setId = 0x4B53;
};

// Writes the set into `directory` and gives the cabinets' file names in order. A folder that
// runs over a cabinet's end ends with the file it was in, as the cabinet tools of the format's
// makers do; the files after it start a new folder.
std::vector<std::string> writeCabinetSet(const std::filesystem::path& directory,
                                         const std::vector<CabinetFolder>& folders,
                                         const CabinetSetLayout& layout = {});

}  // namespace kestrel::test
