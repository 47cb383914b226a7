// What the window shows about a start: which program, which function, on what, in which tree.
#pragma once

#include <string>
#include <vector>

#include "Invocation.h"

namespace kestrel::rmviewer {

struct SummaryRow {
    enum class State { Given, Missing, Problem };

    std::string key;  // stable name of the row, for the view's object names and the tests
    std::string label;
    std::string value;
    State state = State::Given;
};

struct Summary {
    Program program = Program::Unknown;
    std::string title;    // the window title
    std::string heading;  // "WVIEWNT.EXE stand-in"
    std::string purpose;  // what that program does
    std::vector<SummaryRow> rows;
    std::vector<std::string> notes;  // problems with the start itself
};

inline constexpr const char* kNotGiven = "(not given)";
inline constexpr const char* kEmpty = "(empty)";

// Rows in this order: program, function, workstation (container for Query), tree, then the
// inventory server when given or needed by the function, the -s product when given, unrecognised
// arguments when any, and the name the program was started under.
Summary summarise(const Invocation& invocation);

}  // namespace kestrel::rmviewer
