// The command line the browsers and the session logger give the remote-management programs.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "RemoteProgram.h"

namespace kestrel::rmviewer {

struct Invocation {
    std::string startedAs;  // the file name of argv[0]
    Program program = Program::Unknown;
    // Each nullopt when its switch is missing; an empty text when given without a value.
    std::optional<std::string> target;           // -w: workstation, or container for Query
    std::optional<std::string> tree;             // -n
    std::optional<std::string> inventoryServer;  // -ip
    std::optional<std::string> function;         // -c
    std::optional<std::string> product;          // -s, the first edition's "Zen"
    std::vector<std::string> unrecognised;       // arguments that are none of these
};

// Parses argv as the C runtime delivers it (quotes removed): "-wWS17.Sales.Acme",
// "-nACME_TREE", "-cRemote Control". Switches are matched without regard to case; the value
// is the rest of the argument without surrounding blanks, or the next argument when the rest
// is empty and the next one is no switch ("-w WS17"). A repeated switch: the last one counts.
Invocation parseInvocation(const std::vector<std::string>& argv);

}  // namespace kestrel::rmviewer
