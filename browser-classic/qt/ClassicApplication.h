// The program: start-up, the main window shown modally, and the exit code.
#pragma once

namespace kestrel::classic {

int runClassic(int argc, char** argv);

}  // namespace kestrel::classic
