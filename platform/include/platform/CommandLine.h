#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::platform {

// Splits a Windows command line into argv exactly as the Microsoft C runtime (UCRT) does:
//  * argv[0] runs up to the first blank or tab outside quotes; quotes only group there,
//    backslashes are ordinary characters.
//  * Further arguments are separated by blanks/tabs. 2n backslashes before a quote give n
//    backslashes and the quote toggles quoting; 2n+1 give n backslashes and a literal quote;
//    other backslashes are literal; inside quotes a doubled quote "" is a literal quote.
//  * A leading blank or tab ends argv[0] at once, so argv[0] is empty and the rest of the
//    line supplies the arguments (" a b" gives {"", "a", "b"}), as the UCRT does.
//  * The command line ends at its first NUL, as a C string would. An empty command line has
//    no program at all and gives an empty vector.
std::vector<std::string> splitCommandLine(std::string_view commandLine);

// Quotes one argument (not argv[0]) so that splitCommandLine gives it back unchanged; an
// argument that needs no quoting is returned as is, an empty one becomes "".
std::string quoteArgument(std::string_view arg);

// The argument always in quotes, escaped so that splitCommandLine gives it back as one
// argument: the form of switches written as -w"value", where a quote inside the value must
// not end it (and so cannot smuggle in switches of its own).
std::string quotedArgument(std::string_view arg);

// The inverse of splitCommandLine: split(join(v)) == v. argv[0] cannot carry a quote
// character (the runtime drops every quote there, and Windows file names have none), so
// quotes in argv[0] are dropped; no element may contain NUL.
std::string joinCommandLine(const std::vector<std::string>& argv);

// Words that are in command-line form already (quotes where they belong) joined by single
// blanks, nothing quoted again. That is how a program started from a shell gets back the
// command tail it would have had on Windows: the shell took the typed quotes away, and quoting
// anew would hand the program quotes nobody typed.
std::string joinWithBlanks(std::span<const std::string> words);

// The command tail of a program started with `argv`: the arguments after the program name
// joined by single blanks as above.
std::string commandTail(int argc, const char* const* argv);

}  // namespace kestrel::platform
