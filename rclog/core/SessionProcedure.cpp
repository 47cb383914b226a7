#include "SessionProcedure.h"

#include "AttributeReader.h"
#include "Format.h"
#include "SessionArguments.h"
#include "TextLimit.h"
#include "ViewerLaunch.h"
#include "WindowTexts.h"
#include "platform/CommandLine.h"

namespace kestrel::rclog {

namespace {

using namespace std::chrono_literals;

constexpr std::size_t kInitiatorLimit = 259;

// Ends the wait cursor on every way out of the session.
class WaitCursor {
  public:
    explicit WaitCursor(Ui& ui) : ui_(ui) { ui_.beginWaitCursor(); }
    ~WaitCursor() { end(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    void end() {
        if (shown_) ui_.endWaitCursor();
        shown_ = false;
    }

  private:
    Ui& ui_;
    bool shown_ = true;
};

}  // namespace

SessionProcedure::SessionProcedure(Ui& ui, const nw::kit::ClientCalls& calls,
                                   const SessionSetup& setup)
    : ui_(ui), calls_(calls), setup_(setup) {}

void SessionProcedure::diagnose(const std::string& text) {
    if (setup_.settings.debug) ui_.showMessage(text, setup_.caption, Icon::None);
}

std::string SessionProcedure::initiator() {
    char name[MAX_DN_BYTES] = {};
    const NWDSCCODE rc = calls_.NWDSWhoAmI(setup_.context, name);
    if (rc != 0)
        return format("Unable to retrieve name [Error %d (%x)]", static_cast<int>(rc),
                      static_cast<unsigned>(rc));
    return limitText(name, kInitiatorLimit);
}

// The three workstation columns of a line, read afresh for each line; a value the directory
// holds empty shows as "n/a", and a failed read gives "Unknown" in all three.
std::optional<std::array<std::string, 3>> SessionProcedure::workstationColumns(
    const std::string& target) {
    if (!setup_.settings.logDirectoryData) return std::nullopt;
    static const std::vector<std::string> kNames = {"WM:Name OS", "WM:Name Computer",
                                                    "WM:Name DNS"};
    AttributeReader reader(ui_, calls_, setup_.context, setup_.caption, setup_.settings.debug);
    std::vector<std::string> values;
    if (reader.read(target, kNames, values) != 0)
        return std::array<std::string, 3>{kUnknown, kUnknown, kUnknown};
    std::array<std::string, 3> columns;
    for (std::size_t i = 0; i < columns.size(); ++i)
        columns[i] = values[i].empty() ? "n/a" : values[i];
    return columns;
}

std::optional<LogFile> SessionProcedure::openLog(LogKind kind, const std::filesystem::path& path) {
    const std::string header = logHeader(kind, setup_.version, setup_.settings.logDirectoryData);
    return LogFile::open(path, header, [this](std::chrono::milliseconds d) { pause(d); });
}

int SessionProcedure::run(const std::vector<std::string>& arguments) {
    const Settings& settings = setup_.settings;
    WaitCursor waitCursor(ui_);
    if (settings.notify) {
        ui_.showNotification(kRecordingCaption);
        pause(750ms);
    }

    SessionRecord record;
    record.initiator = initiator();
    const SessionArguments args(arguments);
    diagnose(args.summary());
    if (settings.notify && !settings.debug) pause(500ms);

    std::optional<LogFile> startLog = openLog(LogKind::Start, setup_.logs.startLog);
    if (!startLog) {
        waitCursor.end();
        ui_.showMessage(kLogAccessFailed, setup_.caption, Icon::Stop);
        return 1;
    }
    const Stamp start = Stamp::now();
    record.target = args.target();
    record.workstation = workstationColumns(record.target);
    record.action = args.action();
    record.tree = args.tree();
    startLog->append(startLine(start, record));
    startLog.reset();

    const std::vector<std::string> entries = args.viewerEntries();
    diagnose(setup_.viewer.string());
    diagnose(args.indexSummary());
    for (const std::string& entry : entries) diagnose(entry);
    if (settings.notify) {
        ui_.showNotification(kStartingCaption);
        if (!settings.debug) pause(1500ms);
        ui_.hideNotification();
    }

    // How the viewer ended is not the logger's business, but a viewer that never started
    // makes no session: the start log keeps the attempt, the person is told why.
    const platform::Expected<int, std::string> viewer =
        runViewer(setup_.viewer, platform::joinWithBlanks(entries), setup_.program);
    waitCursor.end();
    if (!viewer) {
        ui_.showMessage(setup_.viewer.string() + "\n" + viewer.error(), kViewerStartFailed,
                        Icon::Stop);
        return 1;
    }

    if (std::optional<LogFile> sessionLog = openLog(LogKind::Session, setup_.logs.sessionLog)) {
        const Stamp end = Stamp::now();
        record.workstation = workstationColumns(record.target);
        sessionLog->append(sessionLine(start, end, record));
    }
    return 0;
}

}  // namespace kestrel::rclog
