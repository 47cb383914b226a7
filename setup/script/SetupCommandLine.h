#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "script/RunState.h"

namespace kestrel::setup {

// Cuts a command line into words at blanks; double quotes group and are dropped.
std::vector<std::string> splitSetupWords(std::string_view commandLine);

// Reads the words into the run state: "/" or "-" starts a switch whose letter is compared
// without case (a colon after it skipped, unknown letters ignored); any other word names
// the script (the last one wins). `expand` expands the /P directory. A word such as
// "/home/me/Setup.inf" that `isHostFile` accepts names the script, not a switch: on this
// system paths begin with a slash too.
void parseSetupCommandLine(const std::vector<std::string>& words, RunState& run,
                           const std::function<std::string(std::string_view)>& expand,
                           const std::function<bool(const std::string&)>& isHostFile = {});

// Whether the words ask for the usage message (/?), which a run shows before anything else.
bool asksForUsage(const std::vector<std::string>& words);
// Whether the words ask for a silent run (/S, /S0-/S2): one that nobody answers.
bool asksForSilentRun(const std::vector<std::string>& words,
                      const std::function<bool(const std::string&)>& isHostFile);

}  // namespace kestrel::setup
