// The command line that starts the remote-control viewer against a workstation:
//   [WVIEWNT.EXE ]-s"Zen" -w"<full name>" -n"<tree>" -c"Remote Control"
#pragma once

#include <string>
#include <string_view>

namespace kestrel::classic {

inline constexpr std::string_view kViewerProgram = "WVIEWNT.EXE";

// A shortcut names the program as its target, so its arguments leave it out.
enum class CommandForm { WithProgram, ForShortcut };

std::string remoteControlCommandLine(std::string_view fullName, std::string_view tree,
                                     CommandForm form);

}  // namespace kestrel::classic
