#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "messages/MessageFormat.h"

namespace kestrel::setup {

// The installer's strings: the built-in table, with any string replaced that the language
// file beside the program gives (the counterpart of the language module). The language
// file holds lines "number=text"; in the text \n is a line break, \t a tab and \\ a
// backslash; lines starting with ';' or '#' are comments.
class StringTable {
  public:
    static constexpr const char* kLanguageFileName = "SetupLan.txt";

    // Replaces strings by number; a missing file changes nothing. Returns the lines that
    // could not be used ("file:line: reason"), so a translator can see them.
    std::vector<std::string> loadLanguageFile(const std::filesystem::path& file);

    // A text string (at most 255 characters), "" when there is none.
    std::string text(int number) const;
    // A message string (at most 511 characters), "" when there is none.
    std::string message(int number) const;
    // The text string formatted with the arguments.
    std::string format(int number, const std::vector<MessageArg>& args) const;

  private:
    std::string lookup(int number, std::size_t limit) const;

    std::map<int, std::string> replaced_;
};

}  // namespace kestrel::setup
