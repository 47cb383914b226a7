#include "RemoteControlCommand.h"

namespace kestrel::classic {

namespace {

// The viewer splits its command line by the C runtime rules: a quote inside a value is
// escaped and the backslashes in front of it doubled, so a name holding quotes stays one
// value and cannot smuggle in switches of its own.
void appendQuoted(std::string& line, std::string_view option, std::string_view value) {
    line += option;
    line += '"';
    std::size_t pendingBackslashes = 0;
    for (char c : value) {
        if (c == '\\') {
            ++pendingBackslashes;
        } else {
            if (c == '"') line.append(pendingBackslashes + 1, '\\');
            pendingBackslashes = 0;
        }
        line += c;
    }
    line.append(pendingBackslashes, '\\');  // before the closing quote
    line += '"';
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
