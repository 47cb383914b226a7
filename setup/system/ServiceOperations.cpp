#include "system/ServiceOperations.h"

#include "messages/MessageStrings.h"
#include "platform/AsciiCase.h"
#include "platform/WindowsErrors.h"
#include "script/Fields.h"
#include "system/ServiceRegistry.h"

namespace kestrel::setup {

using commands::SystemCommand;

namespace {

constexpr std::uint32_t kErrorCancelled = 1223;  // ERROR_CANCELLED

// A text argument of a security command: in single quotes, a quote inside doubled.
std::string quotedText(std::string_view text) {
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("''") : std::string(1, c);
    return quoted + "'";
}

platform::Expected<void, std::uint32_t> failure(std::uint32_t code) {
    if (code == 0) return {};
    return platform::unexpected(code);
}

}  // namespace

ServiceOperations::ServiceOperations(SystemServices& services, SecurityOperations& security)
    : services_(services),
      accounts_([&security](std::string_view line, Direction direction) {
          return security.runCommand(line, direction);
      }),
      rootWine_(std::make_unique<RootWinePrograms>(services.context.registry.machine())),
      wine_(*rootWine_),
      control_(wine_, services.progress) {}

ServiceOperations::ServiceOperations(SystemServices& services, AccountCommands accounts,
                                     WinePrograms& wine)
    : services_(services),
      accounts_(std::move(accounts)),
      wine_(wine),
      control_(wine_, services.progress) {}

bool ServiceOperations::isNT() const {
    return services_.context.registry.machine().windowsVersion().isNT();
}

ServiceOperations::Outcome ServiceOperations::failed(ServiceError error,
                                                     const ServiceDefinition& definition) const {
    return {Outcome::Kind::Failed, std::move(error), definition.displayName};
}

ServiceOperations::Outcome ServiceOperations::told(const std::string& wrongDefinition) {
    services_.context.messages.show(messages::kIncorrectFlags, {wrongDefinition});
    return {Outcome::Kind::Told, {}, {}};
}

bool ServiceOperations::accountCommands(const ServiceDefinition& definition, Direction direction) {
    if (definition.account.empty() ||
        platform::equalsIgnoreAsciiCase(definition.account, "LocalSystem")) {
        return true;
    }
    const std::string account = quotedText(definition.accountName());
    return accounts_("LocalUser.Add (" + account + ", " + quotedText(definition.password) +
                         ", '', PRIV_USER)",
                     direction) &&
           accounts_("Privilege.Add ('SeServiceLogonRight', " + account + ")", direction);
}

platform::Expected<void, std::uint32_t> ServiceOperations::eventSource(std::string_view name,
                                                                       Direction direction) {
    OperationContext& context = services_.context;
    const auto source = readEventSourceDefinition(context.script, context.expander(), name);
    if (!source) {
        told(source.error());
        return {};
    }
    ServiceRegistry registry(context.registry);
    const long error = direction == Direction::Install ? registry.addEventSource(*source)
                                                       : registry.removeEventSource(*source);
    return failure(static_cast<std::uint32_t>(error));
}

ServiceOperations::Outcome ServiceOperations::install(std::string_view name,
                                                      std::string_view program) {
    OperationContext& context = services_.context;
    const auto definition = readServiceDefinition(context.script, context.expander(), name);
    if (!definition) return told(definition.error());
    ServiceRegistry registry(context.registry);
    if (!isNT()) {
        // 95/98 start their services from the registry at the next start of the system.
        if (const long error = registry.addRunServicesEntry(name, program)) {
            return failed({static_cast<std::uint32_t>(error), {}}, *definition);
        }
        context.run.restartComputer = true;
        return {};
    }
    if (auto source = eventSource(definition->eventSource, Direction::Install); !source) {
        return failed({source.error(), {}}, *definition);
    }
    if (!accountCommands(*definition, Direction::Install))
        return {Outcome::Kind::Cancelled, {}, {}};
    if (const long error = registry.write(*definition, program)) {
        return failed({static_cast<std::uint32_t>(error), {}}, *definition);
    }
    if (definition->start == service::kBootStart || definition->start == service::kSystemStart) {
        context.run.restartComputer = true;
    }
    if (definition->start == service::kAutoStart) {
        // StartServicesOnReboot leaves the start to the system's next start.
        if (context.settings.startServicesOnReboot) {
            context.run.restartComputer = true;
        } else if (ServiceError error = control_.start(name)) {
            return failed(std::move(error), *definition);
        }
    }
    return {};
}

ServiceOperations::Outcome ServiceOperations::remove(std::string_view name) {
    OperationContext& context = services_.context;
    const auto definition = readServiceDefinition(context.script, context.expander(), name);
    if (!definition) return told(definition.error());
    ServiceRegistry registry(context.registry);
    if (!isNT()) {
        if (const long error = registry.removeRunServicesEntry(name)) {
            return failed({static_cast<std::uint32_t>(error), {}}, *definition);
        }
        return {};
    }
    if (ServiceError error = control_.stop(name, false)) {
        return failed(std::move(error), *definition);
    }
    if (const long error = registry.remove(name)) {
        return failed({static_cast<std::uint32_t>(error), {}}, *definition);
    }
    if (!accountCommands(*definition, Direction::Uninstall))
        return {Outcome::Kind::Cancelled, {}, {}};
    if (auto source = eventSource(definition->eventSource, Direction::Uninstall); !source) {
        return failed({source.error(), {}}, *definition);
    }
    return {};
}

int ServiceOperations::tell(const Outcome& outcome) {
    std::string text = commands::systemErrorText(outcome.error.code);
    if (!outcome.error.detail.empty()) text += "\n" + outcome.error.detail;
    return services_.context.messages.show(messages::kServiceFailed,
                                           {outcome.displayName, outcome.error.code, text});
}

bool ServiceOperations::reported(const Outcome& outcome) {
    switch (outcome.kind) {
        case Outcome::Kind::Done:
        case Outcome::Kind::Told:
            return true;
        case Outcome::Kind::Cancelled:
            return false;
        case Outcome::Kind::Failed:
            break;
    }
    if (tell(outcome) == buttons::kIgnore) return true;
    services_.context.run.abort = true;
    return false;
}

bool ServiceOperations::installService(const copy::InstalledFile& file) {
    return reported(install(file.extra, file.destination));
}

bool ServiceOperations::removeService(const copy::InstalledFile& file) {
    return reported(remove(file.extra));
}

platform::Expected<void, std::uint32_t> ServiceOperations::run(SystemCommand command,
                                                               std::string_view argument) {
    const std::vector<std::string> fields = splitFields(argument);
    const std::string name = fields.empty() ? std::string() : fields[0];
    if (name.find_first_not_of(' ') == std::string::npos) {
        return platform::unexpected(static_cast<std::uint32_t>(platform::kErrorInvalidParameter));
    }
    // A command's failure is reported by the command; the person's Cancel stops the section.
    const auto outcome = [](const Outcome& done) -> platform::Expected<void, std::uint32_t> {
        if (done.kind == Outcome::Kind::Failed) return platform::unexpected(done.error.code);
        if (done.kind == Outcome::Kind::Cancelled) return platform::unexpected(kErrorCancelled);
        return {};
    };
    switch (command) {
        case SystemCommand::AddService:
            if (fields.size() < 2 || fields[1].empty()) {
                return platform::unexpected(
                    static_cast<std::uint32_t>(platform::kErrorInvalidParameter));
            }
            return outcome(install(name, fields[1]));
        case SystemCommand::RemoveService:
            return outcome(remove(name));
        case SystemCommand::DeleteService:
            // Its errors are told with the service message and never stop the section.
            if (const Outcome removed = remove(name); removed.kind == Outcome::Kind::Failed) {
                (void)tell(removed);
            }
            return {};
        case SystemCommand::StartService:
            if (!isNT()) return {};
            return failure(control_.start(name).code);
        case SystemCommand::StopService:
            if (!isNT()) return {};
            return failure(control_.stop(name, true).code);
        case SystemCommand::AddEventSource:
            return eventSource(name, Direction::Install);
        case SystemCommand::RemoveEventSource:
            return eventSource(name, Direction::Uninstall);
        default:
            return platform::unexpected(
                static_cast<std::uint32_t>(platform::kErrorInvalidParameter));
    }
}

}  // namespace kestrel::setup
