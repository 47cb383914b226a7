#pragma once

#include <filesystem>

namespace kestrel::platform {

// Where wineservers put their sockets: /tmp/.wine-<uid>.
std::filesystem::path defaultWineServerDirectory();

// The socket of the wineserver that serves `prefix`: <directory>/server-<dev>-<inode>/socket
// with the prefix directory's device and inode in hexadecimal. Empty when the prefix does
// not exist.
std::filesystem::path wineServerSocket(const std::filesystem::path& prefix,
                                       const std::filesystem::path& serverDirectory);

// Whether a wineserver answers on that socket. A server keeps the registry in memory and
// writes it back over any outside change, so hive files must not be edited meanwhile.
// A socket left behind by a server that died does not count.
bool wineServerRunning(const std::filesystem::path& prefix,
                       const std::filesystem::path& serverDirectory);

}  // namespace kestrel::platform
