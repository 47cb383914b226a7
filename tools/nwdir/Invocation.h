// One run of nwdir: the command's words, the options and where output goes; and the exit
// codes every command uses.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "nwnet.h"

namespace nwdir {

enum ExitCode { kDone = 0, kNotFound = 1, kUsage = 2, kClientError = 3 };

struct Invocation {
    std::vector<std::string> words;  // the command and its operands
    std::string tree;                // --tree, empty for the client's default tree
    bool longFormat = false;         // --long: class names beside listed objects
    std::ostream& out;
    std::ostream& err;
};

// Prints what a failing client call means for `subject` and gives the exit code.
int reportError(const Invocation& run, NWDSCCODE code, const std::string& subject);

int runTrees(const Invocation& run);
int runList(const Invocation& run);
int runSearch(const Invocation& run);
int runRead(const Invocation& run);
int runLogin(const Invocation& run);
int runLogout(const Invocation& run);
int runWhoami(const Invocation& run);
int runHash(const Invocation& run);

// The whole program: options, dispatch, usage. Returns the exit code.
int runNwdir(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace nwdir
