// What Quillbox.Cfg sets, held for the life of the process.
#pragma once

#include <cstddef>
#include <string>

namespace kestrel::rclog {

// LogFileHome holds this while no log home is configured.
inline constexpr const char* kUnsetLogHome = "???";
inline constexpr std::size_t kViewerNameLimit = 99;
inline constexpr std::size_t kLogHomeLimit = 303;

struct Settings {
    std::string viewer = "WVIEWNT0.EXE";  // relative to the program's directory
    bool debug = false;
    bool notify = true;
    bool logDirectoryData = false;
    std::string logFileHome = kUnsetLogHome;

    // The state before the defaults are set, as seen when start-up fails before reading the
    // configuration: every switch off, nothing named.
    static Settings unset() { return {"", false, false, false, ""}; }
};

}  // namespace kestrel::rclog
