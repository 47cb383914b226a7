#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "system/WinePrograms.h"
#include "wizard/ProgressWindow.h"

namespace kestrel::setup {

// The Windows error of a service request, and what Wine said when that is all we know.
struct ServiceError {
    std::uint32_t code = 0;
    std::string detail;
    explicit operator bool() const { return code != 0; }
};

// Error numbers of the service manager.
namespace service {
inline constexpr std::uint32_t kErrorTimeout = 1053;           // did not respond in time
inline constexpr std::uint32_t kErrorDoesNotExist = 1060;      // no such service
inline constexpr std::uint32_t kErrorNoServiceManager = 1722;  // the manager cannot be reached
}  // namespace service

// Starts and stops the root's services through Wine's service controller. Without Wine
// there is no service manager: nothing runs, so every service counts as stopped, and a
// start fails with 1722.
class ServiceControl {
  public:
    ServiceControl(WinePrograms& wine, ProgressWindow& progress)
        : wine_(wine), progress_(progress) {}

    // A service that already runs counts as started.
    ServiceError start(std::string_view name);
    // Asks a running service to stop and waits (polling once a second) while it says it is
    // stopping; one that does not reach the stopped state gives 1053, unless it said to the
    // request that it stops and runs again only because Wine's service manager started it
    // anew. A missing service is 1060 only when `missingIsError`.
    ServiceError stop(std::string_view name, bool missingIsError);

  private:
    enum class State { Missing, Stopped, StartPending, StopPending, Running, Other };
    // The state `sc query` reports, or the error when Wine could not tell.
    platform::Expected<State, ServiceError> query(std::string_view name);
    platform::Expected<WineOutcome, ServiceError> controller(std::string_view verb,
                                                             std::string_view name);

    WinePrograms& wine_;
    ProgressWindow& progress_;
};

}  // namespace kestrel::setup
