#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "copy/CabinetSource.h"
#include "copy/DataSink.h"
#include "copy/DiskPrompt.h"
#include "copy/SourceError.h"

namespace kestrel::setup::copy {

// A member as the set found it: its details and the cabinet that lists it.
struct FoundMember {
    CabinetMember member;
    std::filesystem::path cabinet;
};

// The cabinets of a product's source directory, named by the disks' cabinet template, for the
// whole run. A disk's members are looked for in its cabinet and then, cabinet by cabinet, in
// the numbered cabinets after it; a member whose data run on into the next cabinet of a set
// is read across it. A cabinet that is not there is asked for by its disk's label. Each
// cabinet is opened once and stays open, so members read in cabinet order decompress every
// folder once.
class CabinetSet {
  public:
    // `nameTemplate` is the disks' cabinet template with its variables expanded.
    CabinetSet(std::filesystem::path directory, std::string nameTemplate, const DiskLabels& labels,
               DiskPrompt& prompt);

    // The cabinet a disk's members are looked for in first ("Setup.cab" for disk 0).
    std::filesystem::path cabinetFor(int disk) const;

    // Where the member is, without reading its data.
    [[nodiscard]] SourceResult<FoundMember> find(int disk, std::string_view member);
    // Passes the member's data to `sink`, asking for the next disks it continues on.
    [[nodiscard]] SourceResult<FoundMember> read(int disk, std::string_view member, DataSink& sink);

  private:
    struct Located {
        CabinetSource* cabinet;
        FoundMember found;
    };
    SourceResult<Located> search(int disk, std::string_view member);
    // The cabinet numbered `number`, opened (after asking for its disk when it is not there)
    // the first time it is needed.
    SourceResult<CabinetSource*> obtain(int number);
    SourceResult<void> joinNext(CabinetSource& cabinet);
    SourceResult<std::filesystem::path> askFor(const std::filesystem::path& path,
                                               const std::string& diskName, bool skipAllowed);

    std::filesystem::path directory_;
    std::string template_;
    const DiskLabels& labels_;
    DiskPrompt& prompt_;
    std::vector<std::unique_ptr<CabinetSource>> open_;
    std::map<int, CabinetSource*> byNumber_;
};

}  // namespace kestrel::setup::copy
