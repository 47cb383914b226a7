#pragma once

#include <string>
#include <string_view>

#include "ops/RegistryServices.h"
#include "system/ServiceDefinition.h"

namespace kestrel::setup {

// Services and event sources as the service manager keeps them in the machine's registry
// (System\CurrentControlSet\Services\<name>, ...\EventLog\<log>\<source>), where Wine's
// service manager and event log read them; and the RunServices entries of 95/98 systems.
// Calls return Windows error codes (0 = success).
class ServiceRegistry {
  public:
    explicit ServiceRegistry(RegistryServices& registry) : registry_(registry) {}

    bool exists(std::string_view name) const;
    // Creates the service, or reconfigures the existing one, with every field of the
    // definition: an existing service gets LocalSystem when none is given, and keeps the
    // group and dependencies it has when the definition names none. `program` is the
    // program's Windows path. Invalid combinations of the numbers give 87, as the service
    // manager refuses them.
    [[nodiscard]] long write(const ServiceDefinition& definition, std::string_view program);
    // A service that does not exist is no error.
    [[nodiscard]] long remove(std::string_view name);

    // Writes the source's key and adds it to its log's Sources list (once).
    [[nodiscard]] long addEventSource(const EventSourceDefinition& source);
    // Deletes the source's key and takes it out of Sources; an empty list goes, and a log key
    // left empty with it.
    [[nodiscard]] long removeEventSource(const EventSourceDefinition& source);

    [[nodiscard]] long addRunServicesEntry(std::string_view name, std::string_view program);
    [[nodiscard]] long removeRunServicesEntry(std::string_view name);

  private:
    long setString(const std::string& key, std::string_view name, std::uint32_t type,
                   std::string_view text);
    long setNumber(const std::string& key, std::string_view name, std::uint32_t number);
    long setList(const std::string& key, std::string_view name,
                 const std::vector<std::string>& items);
    std::vector<std::string> sources(const std::string& logKey) const;

    RegistryServices& registry_;
};

}  // namespace kestrel::setup
