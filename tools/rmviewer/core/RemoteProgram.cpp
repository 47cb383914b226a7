#include "RemoteProgram.h"

#include <array>

#include "platform/AsciiCase.h"
#include "platform/WindowsPathText.h"

namespace kestrel::rmviewer {

namespace {

using platform::equalsIgnoreAsciiCase;

struct ProgramText {
    std::string_view fileName;
    std::string_view purpose;
};

// In the order of the Program enumerators.
constexpr std::array<ProgramText, 3> kPrograms{{
    {"WVIEWNT.EXE", "remote control and remote view"},
    {"DESKTOP.EXE", "file transfer, remote execute, chat, diagnostics, agent ping and inventory"},
    {"", ""},
}};

constexpr std::array<FunctionInfo, 9> kFunctions{{
    {"Remote Control", Program::Viewer, "take over the screen, keyboard and mouse", false, false},
    {"Remote View", Program::Viewer, "watch the screen", false, false},
    {"Ping", Program::Desktop, "check that the workstation agent answers", false, false},
    {"File Transfer", Program::Desktop, "copy files to and from the workstation", false, false},
    {"Remote Execute", Program::Desktop, "run a program on the workstation", false, false},
    {"Chat", Program::Desktop, "talk to the workstation's user", false, false},
    {"Diagnostics", Program::Desktop, "show the workstation's system state", false, false},
    {"Inventory", Program::Desktop, "show the workstation's inventory", false, true},
    {"Query", Program::Desktop, "query the inventory of the container's workstations", true, true},
}};

}  // namespace

std::string fileNameOf(std::string_view programPath) {
    return std::string(
        platform::fileNamePart(programPath, platform::PathSeparators::BackslashOrSlash));
}

Program programForName(std::string_view fileName) {
    if (fileName.size() > 4 &&
        equalsIgnoreAsciiCase(fileName.substr(fileName.size() - 4), ".exe")) {
        fileName.remove_suffix(4);
    }
    if (equalsIgnoreAsciiCase(fileName, "WVIEWNT") || equalsIgnoreAsciiCase(fileName, "WVIEWNT0")) {
        return Program::Viewer;
    }
    if (equalsIgnoreAsciiCase(fileName, "DESKTOP")) return Program::Desktop;
    return Program::Unknown;
}

std::string_view programFileName(Program program) {
    return kPrograms[static_cast<std::size_t>(program)].fileName;
}

std::string_view programPurpose(Program program) {
    return kPrograms[static_cast<std::size_t>(program)].purpose;
}

std::optional<FunctionInfo> functionInfo(std::string_view word) {
    for (const FunctionInfo& info : kFunctions) {
        if (equalsIgnoreAsciiCase(info.word, word)) return info;
    }
    return std::nullopt;
}

}  // namespace kestrel::rmviewer
