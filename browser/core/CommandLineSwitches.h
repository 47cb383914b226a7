// The browser's command line: Kestrelscope [startcontext] [options] [-?|-h]. Switches are
// found anywhere in it by exact, case-sensitive substring search.
#pragma once

#include <string>
#include <string_view>

#include "CKestrelscopeApp.h"

namespace kestrel::browser {

// Takes the start context, the switches and "/Inv=" from app.commandLine. Returns false,
// leaving `app` as it was, when the command line asks for the help dialog ("-?" or "-h").
bool applyCommandLine(CKestrelscopeApp& app);

// The help dialog's text: the usage line and one line per switch.
std::string commandLineHelp();

}  // namespace kestrel::browser
