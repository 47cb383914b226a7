#pragma once

#include <filesystem>
#include <string>

namespace kestrel::setup::copy {

// Asking the person for a disk that holds a file the installation needs.
struct DiskRequest {
    std::string label;               // the disk's label, as the script's disks name it
    std::filesystem::path expected;  // where the file is looked for (a host path)
    bool skipAllowed = false;        // the person may give up on the file
};

struct DiskAnswer {
    enum class Kind { Found, Skip, Cancel };
    Kind kind = Kind::Skip;
    std::filesystem::path file;  // Found: where the file is now (perhaps another directory)
};

class DiskPrompt {
  public:
    virtual ~DiskPrompt() = default;
    // Asks until the file exists, the person skips (where allowed) or cancels. A run that
    // must not ask answers Skip: the file counts as missing.
    [[nodiscard]] virtual DiskAnswer askFor(const DiskRequest& request) = 0;
};

// The label of a disk, from the script's disks section: by its number, or by the name a
// cabinet gives the disk that holds the next cabinet.
class DiskLabels {
  public:
    virtual ~DiskLabels() = default;
    // The label under the name (or the part after its first blank), else "Disk %s".
    virtual std::string label(const std::string& diskName) const = 0;
};

}  // namespace kestrel::setup::copy
