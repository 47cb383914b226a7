#pragma once

#include <string>
#include <vector>

#include "platform/Expected.h"
#include "platform/MachineRoot.h"

namespace kestrel::setup {

// What one of Wine's programs said.
struct WineOutcome {
    int exitCode = 0;
    std::string output;  // its standard output
};

// Wine's own programs (the service controller, the registration program) run in the
// machine root, for the operations that only a running Windows can do. Tests replace it.
class WinePrograms {
  public:
    virtual ~WinePrograms() = default;
    virtual bool installed() const = 0;
    // Runs {"sc", "query", "Name"} and the like, waiting for it to end. The error says why
    // it could not run, or why the registry could not be handed over and taken back.
    virtual platform::Expected<WineOutcome, std::string> run(
        const std::vector<std::string>& arguments) = 0;
};

// The real Wine on PATH, on the root's prefix, sharing the registry with us as
// MachineRoot::runThroughWine says: through the server, or the hive files handed over before
// and taken back after.
class RootWinePrograms final : public WinePrograms {
  public:
    explicit RootWinePrograms(platform::MachineRoot& machine) : machine_(machine) {}
    bool installed() const override;
    platform::Expected<WineOutcome, std::string> run(
        const std::vector<std::string>& arguments) override;

  private:
    platform::MachineRoot& machine_;
};

}  // namespace kestrel::setup
