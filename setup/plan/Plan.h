#pragma once

#include <string>
#include <vector>

#include "ops/Operation.h"

namespace kestrel::setup {

// One section of the script, read once into what it does. Every kind of section becomes a
// step of this shape through its reading (plan/SectionReader.h), and one runner
// (plan/PlanRunner.h) runs every step, whatever its kind.
struct PlanStep {
    std::string section;       // the section's name, the progress text while it runs
    std::string title;         // the window title while it runs
    OperationList operations;  // in the order of the section's lines
    // Installations count their use of the section (plan/SectionUsage.h); uninstallation
    // then undoes the step only for the last one using it.
    bool countsUsage = false;
};

// Steps read ahead and run as one, in order (uninstallation runs the same steps, and their
// operations, backwards). A run does not read its work ahead: it reads each section just
// before it runs it (components/SectionDispatch.h), since commands change the variables
// that later sections expand.
struct Plan {
    std::vector<PlanStep> steps;
};

}  // namespace kestrel::setup
