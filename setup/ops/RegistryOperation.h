#pragma once

#include "ops/Operation.h"
#include "ops/RegistryLine.h"

namespace kestrel::setup {

// One registry line: at installation it creates the key and sets the value (a deletion line
// deletes the value, or the whole key tree); at uninstallation it removes what it created
// (a deletion line then does nothing), never reporting errors. Run kinds decide whether the
// line acts at all: workstation installations leave the user's keys alone, per-user parts
// touch only those (others too when the section counts as machine-wide).
class RegistryOperation : public Operation {
  public:
    RegistryOperation(RegistryEntry entry, bool machineWide)
        : entry_(std::move(entry)), machineWide_(machineWide) {}

    bool install(OperationContext& context) override;
    bool uninstall(OperationContext& context) override;
    const RegistryEntry& entry() const { return entry_; }

  private:
    bool acts(const OperationContext& context) const;
    bool create(OperationContext& context);
    // Message 5518 when WarnRegistry is on: Ignore goes on, anything else fails.
    bool reportCreateError(OperationContext& context, long error);

    RegistryEntry entry_;
    bool machineWide_;
};

}  // namespace kestrel::setup
