#pragma once

#include <string>

#include "program/NotifyWindow.h"
#include "program/SetupSession.h"

namespace kestrel::setup {

// WIN.INI's [Reboot] hand-over: the key is the installer's own short path. A caller that
// wants to restart the machine itself puts a value other than 0 there before it starts us;
// we then write the restart kind into it instead of restarting.
inline constexpr const char* kRebootSection = "Reboot";

// Restarts the machine root, or hands the restart over when WIN.INI's [Reboot] asks for
// it. `installer` is the installer's own Windows path. A restart that fails is said.
void restartOrHandOver(SetupSession& session, const std::string& installer, RestartKind kind);

}  // namespace kestrel::setup
