#include "Quillbox.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

#include "ConfigFile.h"
#include "FileIdentity.h"
#include "Format.h"
#include "LogFile.h"
#include "ViewerLaunch.h"
#include "platform/AsciiCase.h"
#include "platform/AtomicFile.h"
#include "platform/Process.h"

namespace kestrel::rclog {

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::string withSlashes(std::string text) {
    std::replace(text.begin(), text.end(), '\\', '/');
    return text;
}

// The file a name leads to, in its directory: the exact spelling or, as Windows finds files,
// any case of it.
std::optional<fs::path> findFile(const std::string& path) {
    const fs::path file(path);
    return platform::findProgram(file.filename().string(), {file.parent_path()});
}

bool readable(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

}  // namespace

Quillbox::Quillbox(Ui& ui, nw::kit::ClientCalls calls) : ui_(ui), calls_(calls) {}

void Quillbox::error(const std::string& text, const std::string& caption) {
    ui_.showMessage(text, caption, Icon::Stop);
}

bool Quillbox::initializeClient(nw::kit::ScopedUnicodeTables& tables) {
    if (calls_.NWCallsInit(nullptr, nullptr) != 0) {
        error("Can't initialize NetWare API.\nMake sure NetWare Client software is loaded.");
        return false;
    }
    LCONV locale{};
    calls_.NWLlocaleconv(&locale);
    const nint rc = tables.load(locale.country_id, locale.code_page);
    if (rc != 0) {
        error(
            format("Error in NWInitUnicodeTables: 0x%x (%d)\nEnsure you have the unicode files "
                   "for country.id [%d] and code.page [%d]",
                   static_cast<unsigned>(rc), rc, locale.country_id, locale.code_page));
        return false;
    }
    return true;
}

// Typeless names for the command lines, and no canonicalising, so that every name the logger
// hands the client is taken as a full name.
bool Quillbox::setUpContext(nw::kit::ScopedContext& scoped) {
    if (scoped.createDefault() != 0) {
        ui_.showMessage("Error in NWDSCreateContext\n", setup_.caption, Icon::None);
        return false;
    }
    const NWDSContextHandle context = scoped.get();
    setup_.context = context;
    nuint32 flags = 0;
    if (NWDSCCODE rc = calls_.NWDSGetContext(context, DCK_FLAGS, &flags); rc != 0) {
        error(format("NWDSGetContext2 returned: 0x%x (%d)", static_cast<unsigned>(rc), rc));
        return false;
    }
    flags = (flags & ~nuint32{DCV_CANONICALIZE_NAMES}) | DCV_TYPELESS_NAMES;
    if (NWDSCCODE rc = calls_.NWDSSetContext(context, DCK_FLAGS, &flags); rc != 0) {
        error(format("NWDSSetContext returned: 0x%x (%d)", static_cast<unsigned>(rc), rc));
        return false;
    }
    char nameContext[MAX_DN_BYTES] = {};
    if (NWDSCCODE rc = calls_.NWDSGetContext(context, DCK_NAME_CONTEXT, nameContext); rc != 0) {
        error(format("Error in NWDSGetContext: 0x%x (%d)", static_cast<unsigned>(rc), rc));
        return false;
    }
    return true;
}

void Quillbox::readConfiguration(const ProgramLocation& location) {
    if (auto file = findFile(location.programDirectory() + kConfigFileName)) {
        if (std::optional<std::string> text = platform::readWholeFile(*file)) {
            for (const std::string& message : applyConfig(*text, setup_.settings))
                error(message, kConfigErrorCaption);
        }
    }
}

std::optional<fs::path> Quillbox::findViewer(const ProgramLocation& location) {
    const std::string& name = setup_.settings.viewer;
    const std::string path = location.programDirectory() + withSlashes(name);
    const std::optional<fs::path> viewer = findFile(path);
    // Started under its own name the logger would start itself, again and again.
    if (platform::equalsIgnoreAsciiCase(name, "WVIEWNT.EXE") ||
        platform::equalsIgnoreAsciiCase(name, "WVIEWNT") ||
        (viewer && sameFile(*viewer, location.path))) {
        error(format("The RCViewer specification in Quillbox.Cfg *cannot* be called %s (!!)\n"
                     "Please refer to the documentation for more details.",
                     platform::asciiUpper(name).c_str()),
              "Error in Cfg file ...");
        return std::nullopt;
    }
    if (!viewer || !readable(*viewer)) {
        error(path, "Can't locate viewer program!");
        return std::nullopt;
    }
    return viewer;
}

int Quillbox::runSession(const std::vector<std::string>& arguments) {
    return SessionProcedure(ui_, calls_, setup_).run(arguments);
}

int Quillbox::run(const Invocation& invocation) {
    const ProgramLocation location = splitProgramPath(invocation.programPath);
    setup_.caption = location.baseName;
    setup_.program = location.path;
    setup_.settings = Settings::unset();
    if (startedAsViewer(location.path)) {
        error(
            format("This logger was started by another logger as its viewer (%s) and starts "
                   "no viewer itself.\nRCViewer in Quillbox.Cfg must name the real viewer, "
                   "not a logger.",
                   location.path.c_str()));
        return 1;
    }
    // What the client lends is given back when the run ends, the context first.
    nw::kit::ScopedUnicodeTables tables(calls_);
    if (!initializeClient(tables)) return 1;
    nw::kit::ScopedContext context(calls_);
    // Without a context the session cannot find its log and ends with its own message.
    if (!setUpContext(context)) return runSession(invocation.arguments);

    setup_.version = VersionStrings::ofThisProgram();
    setup_.settings = Settings{};
    if (invocation.arguments.size() > kArgumentLimit) {
        error(
            "Too many arguments: no more than 10 may follow the program name.\n"
            "(Error condition 1)");
        return 1;
    }
    if (invocation.programPath.size() > kProgramPathLimit) {
        error("Path+file name of this program (Quillbox) is too long!\n(More than 250 chars)");
        return 1;
    }
    readConfiguration(location);
    std::optional<fs::path> viewer = findViewer(location);
    if (!viewer) return 1;
    setup_.viewer = *viewer;

    setup_.logs = logPathsFor(location, setup_.settings.logFileHome);
    if (setup_.settings.debug)
        ui_.showMessage(setup_.logs.startLog.string(), setup_.caption, Icon::None);
    const std::string header =
        logHeader(LogKind::Start, setup_.version, setup_.settings.logDirectoryData);
    const Pause pause = [this](std::chrono::milliseconds d) { ui_.pause(d); };
    if (!LogFile::check(setup_.logs.startLog, header, pause)) {
        ui_.pause(500ms);
        if (ui_.askToContinue(setup_.version.legalLine()) == Choice::Cancel) return 1;
    }
    return runSession(invocation.arguments);
}

}  // namespace kestrel::rclog
