#pragma once

#include <optional>
#include <string_view>

#include "ops/Operation.h"
#include "plan/SectionReader.h"
#include "system/SystemServices.h"

namespace kestrel::setup {

// The TCP/IP database files of the root (Services, Protocol, Networks, Hosts, LMHosts) edited by IP
// sections.
class IpFileOperations {
  public:
    explicit IpFileOperations(SystemServices& services) : services_(services) {}

    // How IP sections are read.
    SectionReading reading();

  private:
    std::optional<PlanStep> readSection(std::string_view section);
    SystemServices& services_;
};

}  // namespace kestrel::setup
