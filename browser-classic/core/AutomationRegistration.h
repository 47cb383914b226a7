// The automation class "Kestrelscope.Application" as a service on the session bus. Started
// with "/Automation" (or "/Embedding") the program serves it; started normally it brings the
// user's activation file up to date, so that the bus can start the program on demand.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace kestrel::classic {

inline constexpr std::string_view kAutomationService = "Kestrelscope.Application";
inline constexpr std::string_view kAutomationClassId = "{3ADEB2F0-A4E4-11D2-BDB4-0080C70ECDA6}";
inline constexpr std::string_view kAutomationObjectPath = "/Kestrelscope/Application";
inline constexpr std::string_view kAutomationSwitch = "/Automation";

// True when one of the blank-separated words is "/Automation" or "/Embedding", in any case.
bool isAutomationStart(std::string_view commandLine);

// $XDG_DATA_HOME/dbus-1/services/Kestrelscope.Application.service (default data home
// ~/.local/share).
std::filesystem::path activationFile();
std::string activationFileText(const std::filesystem::path& program);
// Replaces the file atomically when its text differs.
std::error_code updateActivationFile(const std::filesystem::path& program);

}  // namespace kestrel::classic
