#pragma once

#include <filesystem>
#include <system_error>

namespace kestrel::platform {

// Settings of the network tools: $XDG_CONFIG_HOME/kestrel, default $HOME/.config/kestrel.
// The getters only compute paths; nothing is created.
std::filesystem::path configDir();

// Per-user state (the login session): $XDG_STATE_HOME/kestrel, default
// $HOME/.local/state/kestrel.
std::filesystem::path stateDir();

// $USERPROFILE/Desktop when USERPROFILE is set; otherwise XDG_DESKTOP_DIR from
// $XDG_CONFIG_HOME/user-dirs.dirs; otherwise $HOME/Desktop.
std::filesystem::path desktopDir();

// The home directory: $HOME, else the password database entry.
std::filesystem::path homeDir();

// The Wine prefix that holds the Windows drives (see WineDrives): $WINEPREFIX, else ~/.wine;
// absolute and normalised.
std::filesystem::path winePrefix();

// The running executable and its directory; empty when /proc is unavailable.
std::filesystem::path programPath();
std::filesystem::path programDirectory();

// Creates the directory and its parents; an existing directory is success.
std::error_code ensureDirectory(const std::filesystem::path& dir);

}  // namespace kestrel::platform
