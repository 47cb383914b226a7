#pragma once

#include <memory>
#include <optional>
#include <string>

#include "SystemFileFixture.h"
#include "commands/ActionFakes.h"
#include "platform/LocalAccounts.h"
#include "system/SecurityOperations.h"
#include "wizard/ProgressWindow.h"

namespace kestrel::setup::test {

// A machine root with a script whose [Security] section the test gives, and the security
// operations of the run over it.
class SecurityFixture : public SystemFileFixture {
  protected:
    // Loads a script of that version (and MachineKeyName) with the section's lines.
    void loadSecurity(const std::string& lines, const std::string& version = "6.50",
                      const std::string& machineKey = "Acme\\Tools");
    bool section(Direction direction) {
        return runSection(context(), security_->reading(), "Security", direction);
    }
    bool command(const std::string& line, Direction direction = Direction::Install) {
        return security_->runCommand(line, direction);
    }
    platform::LocalAccounts accounts() {
        return platform::LocalAccounts(registry(), "alice", machine_->computerName());
    }
    // The usage count of an account object, or -1 without one.
    long usage(std::string_view kind, std::string_view name);

    RecordingStarter starter_;
    std::unique_ptr<ProgressWindow> progress_;
    std::unique_ptr<SecurityOperations> security_;
    std::optional<SystemServices> services_;
};

}  // namespace kestrel::setup::test
