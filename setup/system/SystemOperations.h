#pragma once

#include "commands/SystemCommands.h"
#include "components/SectionDispatch.h"
#include "copy/RegistrationHooks.h"
#include "system/IpFileOperations.h"
#include "system/OdbcOperations.h"
#include "system/PrintOperations.h"
#include "system/SecurityOperations.h"
#include "system/SelfRegistration.h"
#include "system/ServiceOperations.h"

namespace kestrel::setup {

// The operations on the root's system for one run, put together: the system commands of
// scripts, the registration and services of copied files, and the Security, ODBC and IP
// sections of the work list.
class SystemOperations final : public commands::SystemCommands, public copy::RegistrationHooks {
  public:
    explicit SystemOperations(SystemServices services);
    SystemOperations(const SystemOperations&) = delete;
    SystemOperations& operator=(const SystemOperations&) = delete;

    // Gives the dispatch its processors for Security, ODBC and IP sections.
    void attach(SectionDispatch& dispatch);

    platform::Expected<void, std::uint32_t> run(commands::SystemCommand command,
                                                std::string_view argument,
                                                OperationContext& context) override;
    bool registerFile(const copy::InstalledFile& file) override;
    bool unregisterFile(const copy::InstalledFile& file) override;
    bool installService(const copy::InstalledFile& file) override;
    bool removeService(const copy::InstalledFile& file) override;

  private:
    SystemServices services_;
    SecurityOperations security_;
    ServiceOperations serviceOps_;
    SelfRegistration registration_;
    PrintOperations printing_;
    OdbcOperations odbc_;
    IpFileOperations ipFiles_;
};

}  // namespace kestrel::setup
