#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Expected.h"
#include "script/Expander.h"
#include "script/ScriptText.h"

namespace kestrel::setup {

// The service manager's numbers, as scripts name them.
namespace service {
inline constexpr std::uint32_t kKernelDriver = 0x1;
inline constexpr std::uint32_t kFileSystemDriver = 0x2;
inline constexpr std::uint32_t kOwnProcess = 0x10;
inline constexpr std::uint32_t kShareProcess = 0x20;
inline constexpr std::uint32_t kInteractiveProcess = 0x100;
inline constexpr std::uint32_t kBootStart = 0;
inline constexpr std::uint32_t kSystemStart = 1;
inline constexpr std::uint32_t kAutoStart = 2;
inline constexpr std::uint32_t kDemandStart = 3;
inline constexpr std::uint32_t kDisabled = 4;
inline constexpr std::uint32_t kErrorNormal = 1;
inline constexpr std::uint32_t kErrorCritical = 3;
}  // namespace service

// One entry of the script's [Services] section (key = service name), variables expanded,
// empty fields at their defaults.
struct ServiceDefinition {
    std::string name;
    std::string displayName;
    std::uint32_t type = service::kOwnProcess;
    std::uint32_t start = service::kDemandStart;
    std::uint32_t errorControl = service::kErrorNormal;
    std::string group;
    std::vector<std::string> dependencies;
    // As the service manager keeps it (".\name" for a local account); empty: LocalSystem.
    std::string account;
    std::string password;  // as the script holds it (scrambled in new-format scripts)
    std::string eventSource;

    bool isDriver() const {
        return (type & (service::kKernelDriver | service::kFileSystemDriver)) != 0;
    }
    // The account as the account commands name it: without the leading ".\" of a local one.
    std::string accountName() const;
};

// One entry of [EventSources] (key = source name).
struct EventSourceDefinition {
    std::string name;
    std::string log = "Application";
    std::uint32_t types = 0x7;  // error, warning and information
    std::string eventMessageFile;
    std::string parameterMessageFile;
    std::string categoryMessageFile;
    std::uint32_t categoryCount = 0;
};

// A definition the script does not hold is all defaults. The error is the text for the
// "Incorrect Flags" message: the first unknown keyword, or the whole definition when it has
// more fields than a definition can.
platform::Expected<ServiceDefinition, std::string> readServiceDefinition(const ScriptText& script,
                                                                         const Expander& expander,
                                                                         std::string_view name);
platform::Expected<EventSourceDefinition, std::string> readEventSourceDefinition(
    const ScriptText& script, const Expander& expander, std::string_view name);

}  // namespace kestrel::setup
