#include "AutomationRegistration.h"

#include <cstdlib>

#include "platform/AsciiCase.h"
#include "platform/AtomicFile.h"
#include "platform/Places.h"
#include "platform/PrivateFiles.h"

namespace kestrel::classic {

namespace {

// The bus splits Exec like a shell does: single quotes keep everything but a single quote.
std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

bool isAutomationStart(std::string_view commandLine) {
    std::size_t at = 0;
    while (at < commandLine.size()) {
        std::size_t end = commandLine.find(' ', at);
        if (end == std::string_view::npos) end = commandLine.size();
        std::string_view word = commandLine.substr(at, end - at);
        if (platform::equalsIgnoreAsciiCase(word, kAutomationSwitch) ||
            platform::equalsIgnoreAsciiCase(word, "/Embedding"))
            return true;
        at = end + 1;
    }
    return false;
}

std::filesystem::path activationFile() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    std::filesystem::path base = dataHome != nullptr && *dataHome == '/'
                                     ? std::filesystem::path(dataHome)
                                     : platform::homeDir() / ".local/share";
    return base / "dbus-1/services" / (std::string(kAutomationService) + ".service");
}

std::string activationFileText(const std::filesystem::path& program) {
    return "# Automation class " + std::string(kAutomationClassId) +
           "\n[D-BUS Service]\nName=" + std::string(kAutomationService) +
           "\nExec=" + shellQuoted(program.string()) + " " + std::string(kAutomationSwitch) + "\n";
}

std::error_code updateActivationFile(const std::filesystem::path& program) {
    std::filesystem::path file = activationFile();
    std::string text = activationFileText(program);
    if (platform::readWholeFile(file) == text) return {};
    if (auto error =
            platform::ensurePrivateFolder(file.parent_path(), platform::ExistingFolder::Keep))
        return error;
    return platform::writeFileAtomically(file, text, platform::kOwnerOnlyFile);
}

}  // namespace kestrel::classic
