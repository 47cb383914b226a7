#pragma once

#include "copy/CopyServices.h"

namespace kestrel::setup::copy {

// Self-registration (REGISTER) and services (SERVICE) of a file the copy engine installed or
// is removing; the system operations do them (regsvr32 through Wine, the service manager's
// registry layout). Each returns false when the person cancelled in a message about a failure.
class RegistrationHooks {
  public:
    virtual ~RegistrationHooks() = default;
    [[nodiscard]] virtual bool registerFile(const InstalledFile& file) = 0;
    [[nodiscard]] virtual bool unregisterFile(const InstalledFile& file) = 0;
    [[nodiscard]] virtual bool installService(const InstalledFile& file) = 0;
    [[nodiscard]] virtual bool removeService(const InstalledFile& file) = 0;
};

// For runs without the system operations: registration and services leave the machine as it
// is and succeed, so a REGISTER or SERVICE file is installed and removed as the shared file
// it also is.
class NoRegistration final : public RegistrationHooks {
  public:
    bool registerFile(const InstalledFile&) override { return true; }
    bool unregisterFile(const InstalledFile&) override { return true; }
    bool installService(const InstalledFile&) override { return true; }
    bool removeService(const InstalledFile&) override { return true; }
};

}  // namespace kestrel::setup::copy
