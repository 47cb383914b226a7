// The two remote-management programs rmviewer stands in for, and their functions.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrel::rmviewer {

enum class Program {
    Viewer,   // WVIEWNT.EXE: remote control and remote view
    Desktop,  // DESKTOP.EXE: the other functions
    Unknown,
};

// The file name part of a program path, with '/' or '\' as separator.
std::string fileNameOf(std::string_view programPath);

// Which program a file name stands for, compared without regard to case, with or without
// ".EXE": WVIEWNT, WVIEWNT0 (the viewer's name behind the session logger), DESKTOP.
Program programForName(std::string_view fileName);

std::string_view programFileName(Program program);  // "WVIEWNT.EXE", "DESKTOP.EXE", ""
std::string_view programPurpose(Program program);

struct FunctionInfo {
    std::string_view word;  // as the callers pass it after -c
    Program program;        // the program that performs it
    std::string_view description;
    bool namesContainer;        // the -w name is a container, not a workstation
    bool needsInventoryServer;  // the caller passes -ip
};

// A function word known to either program, compared without regard to case.
std::optional<FunctionInfo> functionInfo(std::string_view word);

}  // namespace kestrel::rmviewer
