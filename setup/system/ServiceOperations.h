#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "commands/SystemCommands.h"
#include "copy/CopyServices.h"
#include "platform/Expected.h"
#include "system/SecurityOperations.h"
#include "system/ServiceControl.h"
#include "system/ServiceDefinition.h"
#include "system/SystemServices.h"
#include "system/WinePrograms.h"

namespace kestrel::setup {

// Services in the service manager's registry layout of the root and event sources under
// EventLog: installed and removed with the files flagged SERVICE, and through the service
// and event-source commands.
class ServiceOperations {
  public:
    // Carries out one security command line for a service's account ("LocalUser.Add (...)");
    // false when the person cancelled.
    using AccountCommands = std::function<bool(std::string_view line, Direction direction)>;

    // The account commands through `security`, services started through Wine of the root.
    ServiceOperations(SystemServices& services, SecurityOperations& security);
    ServiceOperations(SystemServices& services, AccountCommands accounts, WinePrograms& wine);

    // AddService, DeleteService, RemoveService, StartService, StopService, AddEventSource,
    // RemoveEventSource. The error is the Windows system error code.
    platform::Expected<void, std::uint32_t> run(commands::SystemCommand command,
                                                std::string_view argument);
    // A SERVICE file: its [Services] definition installed or removed. false when the person
    // cancelled in a message about a failure.
    bool installService(const copy::InstalledFile& file);
    bool removeService(const copy::InstalledFile& file);

  private:
    // How a service request ended: done; failed with a system error the caller reports;
    // already told the person (a wrong definition), going on; cancelled by the person.
    struct Outcome {
        enum class Kind { Done, Failed, Told, Cancelled } kind = Kind::Done;
        ServiceError error;
        std::string displayName;
    };
    Outcome install(std::string_view name, std::string_view program);
    Outcome remove(std::string_view name);
    Outcome failed(ServiceError error, const ServiceDefinition& definition) const;
    Outcome told(const std::string& wrongDefinition);
    bool accountCommands(const ServiceDefinition& definition, Direction direction);
    // The event source of that name, from [EventSources].
    platform::Expected<void, std::uint32_t> eventSource(std::string_view name, Direction direction);
    // The service message with Ignore and Cancel: the button pressed.
    int tell(const Outcome& outcome);
    // Tells a failure; Ignore goes on (true), Cancel stops the run.
    bool reported(const Outcome& outcome);
    bool isNT() const;

    SystemServices& services_;
    AccountCommands accounts_;
    std::unique_ptr<WinePrograms> rootWine_;  // when no other Wine was given
    WinePrograms& wine_;
    ServiceControl control_;
};

}  // namespace kestrel::setup
