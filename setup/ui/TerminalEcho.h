#pragma once

#include <functional>

namespace kestrel::setup {

// Switches the echo of the terminal `fd` off (false) and on again (true), for a password
// typed there. While it is off, an interrupt or a termination turns it back on before the
// program ends, so the person's shell is not left without echo.
std::function<void(bool)> terminalEcho(int fd);

}  // namespace kestrel::setup
