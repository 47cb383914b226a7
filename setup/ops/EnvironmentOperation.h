#pragma once

#include "ops/Operation.h"
#include "ops/StartupLine.h"

namespace kestrel::setup {

// A PATH or SET line of the start-up batch file on an NT root, where that file is not used:
// the registry's environment value (PATH, or the variable) gains or loses the line's items in
// its semicolon list; a value left empty is deleted, and the key with it when that leaves it
// empty. The machine's environment
// (HKLM\System\CurrentControlSet\Control\Session Manager\Environment), or the user's
// (HKCU\Environment) in a per-user part. The changes reach the hives at the step's save
// point; Wine gives them to every program it starts. A failure to write asks message 5518
// at installation (Ignore goes on); uninstallation takes away what it can, silently.
class EnvironmentOperation : public Operation {
  public:
    explicit EnvironmentOperation(StartupLine line) : line_(std::move(line)) {}

    bool install(OperationContext& context) override;
    bool uninstall(OperationContext& context) override;

  private:
    // The Windows error of the first write that failed (0 = success).
    long change(OperationContext& context, bool remove);

    StartupLine line_;
};

}  // namespace kestrel::setup
