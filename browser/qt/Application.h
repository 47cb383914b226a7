// The whole program run: start-up checks, then the main window until it closes.
#pragma once

namespace kestrel::browser::qt {

// The exit code of the program.
int runKestrelscope(int argc, char** argv);

}  // namespace kestrel::browser::qt
