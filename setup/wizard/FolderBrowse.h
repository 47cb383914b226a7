// Browse on a directory field: where the folder chooser starts, and the way from a Windows
// path of the machine root to the host folder behind it and back.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/MachineRoot.h"

namespace kestrel::setup {

class Ui;

// "C:" becomes "C:\"; anything else stays.
std::string completeBareDrive(std::string_view path);

// Where browsing starts from the field's text: the text itself when it names an existing
// directory, else the text without its part after the last backslash; a bare drive gets
// its root.
std::string browseStart(std::string_view text, const platform::MachineRoot& machine);

// Opens the folder chooser on the host folder behind the start; the chosen folder comes
// back as the Windows path of the root. Nothing when the person cancels or the start lies
// on no drive of the root.
std::optional<std::string> browseFolder(Ui& ui, const platform::MachineRoot& machine,
                                        std::string_view text);

}  // namespace kestrel::setup
