#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <vector>

namespace kestrel::platform {

// Where wineservers keep their socket folders: /tmp.
std::filesystem::path defaultWineServerDirectory();

// The socket of the wineserver that serves `prefix` as upstream Wine places it:
// <serverDirectory>/.wine-<uid>/server-<dev>-<inode>/socket, with the prefix directory's
// device and inode in hexadecimal. Empty when the prefix does not exist.
std::filesystem::path wineServerSocket(const std::filesystem::path& prefix,
                                       const std::filesystem::path& serverDirectory);

// Every place where a server of the prefix may have its socket: the upstream one, the
// folder that Debian's Wine makes (<serverDirectory>/wine-XXXXXX) and records in
// <prefix>/wineserver, and any other <serverDirectory>/wine-*/server-<dev>-<inode>/socket.
std::vector<std::filesystem::path> wineServerSockets(const std::filesystem::path& prefix,
                                                     const std::filesystem::path& serverDirectory);

// Whether a wineserver answers on one of those sockets. A server keeps the registry in
// memory and writes it back over any outside change, so hive files must not be edited
// meanwhile. A socket left behind by a server that died does not count.
bool wineServerRunning(const std::filesystem::path& prefix,
                       const std::filesystem::path& serverDirectory);

enum class WineServerWait { Ended, TimedOut, Cancelled };

// Waits until no server runs for the prefix (as `wineserver -w` does), at most `timeout`;
// `cancelled` is asked every few milliseconds and ends the wait when it says so.
WineServerWait waitForWineServer(const std::filesystem::path& prefix,
                                 const std::filesystem::path& serverDirectory,
                                 std::chrono::milliseconds timeout,
                                 const std::function<bool()>& cancelled = {});

}  // namespace kestrel::platform
