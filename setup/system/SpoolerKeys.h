#pragma once

#include <string>
#include <string_view>

namespace kestrel::setup::spooler {

// Where Windows' spooler keeps its state in the machine's registry.
inline constexpr std::string_view kPrintKey = "System\\CurrentControlSet\\Control\\Print";
inline constexpr std::string_view kPortsKey =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Ports";

inline std::string printKey(std::string_view below) {
    return std::string(kPrintKey) + "\\" + std::string(below);
}

inline std::string child(std::string_view key, std::string_view name) {
    return std::string(key) + "\\" + std::string(name);
}

}  // namespace kestrel::setup::spooler
