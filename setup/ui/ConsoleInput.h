#pragma once

#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace kestrel::setup {

// The person at the terminal: a line of answer to a prompt. Where nobody can answer (no
// terminal, or its input closed) nothing is waited for: the console says once why the
// installation ends there, and every later question gets no answer either.
class ConsoleInput {
  public:
    ConsoleInput(std::ostream& out, std::istream* terminal) : out_(out), terminal_(terminal) {}

    // Turns the terminal's echo off (false) and on again (true) around a password.
    void setEchoControl(std::function<void(bool)> echo) { echo_ = std::move(echo); }

    // Prints `prompt` and reads one line (its line break and a carriage return dropped);
    // nothing when nobody can answer. A secret line is read without echo.
    std::optional<std::string> readLine(std::string_view prompt, bool secret = false);
    // Says why the installation ends without an answer, once, with what to do instead.
    void refuse(std::string_view why, std::string_view advice);
    bool refused() const { return refused_; }

    std::ostream& out() { return out_; }

  private:
    std::ostream& out_;
    std::istream* terminal_;
    std::function<void(bool)> echo_;
    bool refused_ = false;
};

// The key a button answers to at the terminal: its access key ("&Yes" -> 'y'), 0 for none.
char accessKey(const std::string& label);
// The access key, else the first letter or digit of the label, in lower case.
char consoleKey(const std::string& label);

}  // namespace kestrel::setup
