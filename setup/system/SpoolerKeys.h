#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Expected.h"

namespace kestrel::setup::spooler {

// Where Windows' spooler keeps its state in the machine's registry.
inline constexpr std::string_view kPrintKey = "System\\CurrentControlSet\\Control\\Print";
// The key above it: a root without a spooler of its own gets the Print key with the first
// component, and loses it with the last.
inline constexpr std::string_view kPrintParentKey = "System\\CurrentControlSet\\Control";
inline constexpr std::string_view kPortsKey =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Ports";

// The spooler's own monitor of the computer's ports (LPT1:, COM1:, FILE:, files), built in.
inline constexpr std::string_view kLocalMonitor = "Local Port";

inline std::string printKey(std::string_view below) {
    return std::string(kPrintKey) + "\\" + std::string(below);
}

inline std::string child(std::string_view key, std::string_view name) {
    return std::string(key) + "\\" + std::string(name);
}

// The spooler's answers, Windows system error codes.
inline constexpr std::uint32_t kFileNotFound = 2;
inline constexpr std::uint32_t kNotSupported = 50;
inline constexpr std::uint32_t kInvalidParameter = 87;
inline constexpr std::uint32_t kModuleNotFound = 126;
inline constexpr std::uint32_t kAlreadyExists = 183;
inline constexpr std::uint32_t kCancelled = 1223;
inline constexpr std::uint32_t kNotFound = 1168;
inline constexpr std::uint32_t kDriverAlreadyInstalled = 1795;
inline constexpr std::uint32_t kUnknownPort = 1796;
inline constexpr std::uint32_t kUnknownDriver = 1797;
inline constexpr std::uint32_t kUnknownProcessor = 1798;
inline constexpr std::uint32_t kInvalidPrinterName = 1801;
inline constexpr std::uint32_t kPrinterExists = 1802;
inline constexpr std::uint32_t kInvalidEnvironment = 1805;
inline constexpr std::uint32_t kUnknownMonitor = 3000;
inline constexpr std::uint32_t kDriverInUse = 3001;
inline constexpr std::uint32_t kProcessorAlreadyInstalled = 3005;
inline constexpr std::uint32_t kMonitorAlreadyInstalled = 3006;

inline platform::Unexpected<std::uint32_t> fail(std::uint32_t error) {
    return platform::unexpected(error);
}

}  // namespace kestrel::setup::spooler
