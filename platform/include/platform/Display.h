#pragma once

#include <string>

namespace kestrel::platform {

// The Qt platform plugins the environment names, in the order to try them: QT_QPA_PLATFORM
// when set, else "wayland" for WAYLAND_DISPLAY and "xcb" for DISPLAY ("wayland;xcb" with
// both); empty when it names no display. Empty variables count as unset.
std::string displayPlatforms();

// Whether the environment names a display: the programs then open windows, otherwise they
// talk on the console.
bool hasDisplay();

}  // namespace kestrel::platform
