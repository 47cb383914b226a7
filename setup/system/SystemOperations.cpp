#include "system/SystemOperations.h"

namespace kestrel::setup {

using commands::SystemCommand;

SystemOperations::SystemOperations(SystemServices services)
    : services_(services),
      security_(services_),
      serviceOps_(services_, security_),
      registration_(services_),
      printing_(services_),
      odbc_(services_),
      ipFiles_(services_) {}

void SystemOperations::attach(SectionDispatch& dispatch) {
    dispatch.setReading(WorkSectionKind::Security, security_.reading());
    dispatch.setReading(WorkSectionKind::Odbc, odbc_.reading());
    dispatch.setReading(WorkSectionKind::IpFiles, ipFiles_.reading());
}

platform::Expected<void, std::uint32_t> SystemOperations::run(SystemCommand command,
                                                              std::string_view argument,
                                                              OperationContext&) {
    switch (command) {
        case SystemCommand::AddEventSource:
        case SystemCommand::RemoveEventSource:
        case SystemCommand::AddService:
        case SystemCommand::RemoveService:
        case SystemCommand::DeleteService:
        case SystemCommand::StartService:
        case SystemCommand::StopService:
            return serviceOps_.run(command, argument);
        default:
            return printing_.run(command, argument);
    }
}

bool SystemOperations::registerFile(const copy::InstalledFile& file) {
    return registration_.registerFile(file);
}
bool SystemOperations::unregisterFile(const copy::InstalledFile& file) {
    return registration_.unregisterFile(file);
}
bool SystemOperations::installService(const copy::InstalledFile& file) {
    return serviceOps_.installService(file);
}
bool SystemOperations::removeService(const copy::InstalledFile& file) {
    return serviceOps_.removeService(file);
}

}  // namespace kestrel::setup
