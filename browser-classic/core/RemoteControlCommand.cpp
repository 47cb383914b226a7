#include "RemoteControlCommand.h"

#include "platform/CommandLine.h"

namespace kestrel::classic {

namespace {

// A switch with its value in quotes, as the viewer's C runtime splits it back.
void appendQuoted(std::string& line, std::string_view option, std::string_view value) {
    line += option;
    line += platform::quotedArgument(value);
}

}  // namespace

std::string remoteControlCommandLine(std::string_view fullName, std::string_view tree,
                                     CommandForm form) {
    std::string line;
    if (form == CommandForm::WithProgram) {
        line += kViewerProgram;
        line += ' ';
    }
    appendQuoted(line, "-s", "Zen");
    appendQuoted(line, " -w", fullName);
    appendQuoted(line, " -n", tree);
    appendQuoted(line, " -c", "Remote Control");
    return line;
}

}  // namespace kestrel::classic
