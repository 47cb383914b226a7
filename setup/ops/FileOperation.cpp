#include "ops/FileOperation.h"

#include "copy/FileDestination.h"
#include "copy/FileLineFilter.h"
#include "platform/AsciiCase.h"
#include "platform/WindowsPathText.h"

namespace kestrel::setup {

namespace fs = std::filesystem;
using namespace fileflag;

namespace {

// A shared (network) Windows keeps its system directory outside the Windows directory.
bool sharedWindows(const BuiltinVariables& variables) {
    const std::string windows = variables.value("Windows");
    return !windows.empty() &&
           !platform::startsWithIgnoreAsciiCase(variables.value("System"), windows);
}

FileLineFilter filterOf(OperationContext& context, Direction direction) {
    FilterContext filter =
        filterContextOf(context.run, context.registry.machine().windowsVersion().isNT(),
                        sharedWindows(context.variables));
    filter.uninstall = direction == Direction::Uninstall;
    return FileLineFilter(filter);
}

bool includesPass(const FileLineFilter& lines, const std::vector<LineFlags>& includes) {
    for (const LineFlags& include : includes)
        if (!lines.applies(include.file, LineKind::Include)) return false;
    return true;
}

// Where the administrator installation that left this copy of the script put the line's
// file, relative to its application directory (the source directory of a run from the
// copy): under the destination's name, expanded as it was installed, or in the setup
// directory for a SETUP file. nullopt for a destination outside the application directory.
std::optional<std::string> placeOnServer(const FileLine& line, const std::string& destination,
                                         const std::string& base, const std::string& setupInfDir) {
    if (line.flags.file & kSetup)
        return setupInfDir + std::string(platform::fileNamePart(destination));
    const std::string directory = withTrailingBackslash(base);
    if (directory.size() < 2 || !platform::startsWithIgnoreAsciiCase(destination, directory))
        return std::nullopt;
    return destination.substr(directory.size());
}

// A source that the server does not hold under its own name (an administrator installation
// expands LZ files and gives every file its destination's name) is the file as installed
// there.
void useServerCopy(copy::CopyRequest& request, const std::optional<std::string>& place,
                   OperationContext& context) {
    std::error_code error;
    if (!place || (!request.source.file.empty() && fs::exists(request.source.file, error))) return;
    const std::string path = withTrailingBackslash(context.variables.value("Src")) + *place;
    const auto host = context.registry.machine().hostPath(path);
    if (!host || !fs::is_regular_file(*host, error)) return;
    request.source.name = *place;
    request.source.path = path;
    request.source.file = *host;
}

}  // namespace

bool includesApply(OperationContext& context, Direction direction,
                   const std::vector<LineFlags>& includes) {
    return includesPass(filterOf(context, direction), includes);
}

bool FileOperation::applies(OperationContext& context, Direction direction) const {
    const FileLineFilter lines = filterOf(context, direction);
    return lines.applies(line_.flags.file, LineKind::File) && includesPass(lines, includes_);
}

copy::CopyRequest FileOperation::request(OperationContext& context) const {
    const RunState& run = context.run;
    const BuiltinVariables& variables = context.variables;
    platform::MachineRoot& machine = context.registry.machine();
    copy::CopyRequest request;
    request.source.disk = line_.disk;
    request.source.name = line_.source;
    request.source.path = withTrailingBackslash(variables.value("Src")) + line_.source;
    request.source.file = machine.hostPath(request.source.path).value_or(fs::path());
    request.source.expectedSize = line_.size;
    request.source.expand = (line_.flags.file & kExpand) || context.settings.expand;
    request.source.cabinetAllowed = !run.adminCopy;

    DestinationPlaces places;
    places.baseDirectory = variables.value(run.client || run.fromCD ? "Client" : "App");
    if (run.admin)
        places.setupDirectory =
            withTrailingBackslash(variables.value("App")) + variables.value("SetupInfDir");
    request.flags = line_.flags;
    if (line_.flags.file & kCreate) {
        // A CREATE line names what it makes, a directory too: no source name is added.
        std::string destination = line_.destination;
        if (!destination.empty() && destination.back() == '\\') {
            destination.pop_back();
            request.flags.file |= kDirectory;
        }
        request.destination = resolveDestination(line_, destination, places,
                                                 [](const std::string&) { return false; });
    } else {
        std::string lookedUp;
        std::optional<fs::path> host;
        request.destination =
            resolveDestination(line_, line_.destination, places, [&](const std::string& path) {
                lookedUp = path;
                host = machine.hostPath(path);
                std::error_code error;
                return host && fs::is_directory(*host, error);
            });
        if (host && lookedUp == request.destination) request.destinationHost = std::move(host);
    }
    request.extra = line_.extra;
    if (run.adminCopy && !(line_.flags.file & kCreate))
        useServerCopy(request,
                      placeOnServer(line_, request.destination, places.baseDirectory,
                                    variables.value("SetupInfDir")),
                      context);
    return request;
}

bool FileOperation::install(OperationContext& context) {
    if (context.run.abort) return false;
    if (!applies(context, Direction::Install)) return true;
    const copy::CopyRequest file = request(context);
    return line_.flags.file & kCreate ? copier_.create(file) : copier_.copy(file);
}

bool FileOperation::uninstall(OperationContext& context) {
    if (context.run.abort) return false;
    if (!applies(context, Direction::Uninstall)) return true;
    return copier_.uninstall(request(context));
}

}  // namespace kestrel::setup
