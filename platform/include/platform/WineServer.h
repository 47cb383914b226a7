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

// Every folder where a server of the prefix may live: the upstream one, the folder that
// Debian's Wine makes (<serverDirectory>/wine-XXXXXX) and records in <prefix>/wineserver,
// and any other <serverDirectory>/wine-*/server-<dev>-<inode>.
std::vector<std::filesystem::path> wineServerFolders(const std::filesystem::path& prefix,
                                                     const std::filesystem::path& serverDirectory);

// Whether a wineserver lives in one of those folders: it holds the lock file there or
// answers on the socket. A server keeps the registry in memory and writes it back over any
// outside change when it ends, so hive files must not be edited meanwhile. What a server
// that has gone leaves behind (the folder, the lock file, the socket) does not count.
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
