#pragma once

#include <string_view>

#include "ops/Operation.h"
#include "system/SystemServices.h"

namespace kestrel::setup {

// The TCP/IP database files of the root (Services, Protocol, Networks, Hosts, LMHosts) edited by IP
// sections.
class IpFileOperations {
  public:
    explicit IpFileOperations(SystemServices& services) : services_(services) {}

    // One section; false when it failed or the person cancelled.
    bool processSection(std::string_view section, Direction direction);

  private:
    SystemServices& services_;
};

}  // namespace kestrel::setup
