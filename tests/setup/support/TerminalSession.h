#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrel::setup::test {

// A program run on a pseudo terminal of its own, as a person at a terminal runs it: its
// output is read as it comes (line ends as "\n"), and lines are typed once it asked for
// them. What is typed is echoed by the terminal unless the program turned echo off.
class TerminalSession {
  public:
    struct Start {
        std::vector<std::string> argv;  // the program first
        std::filesystem::path directory;
        std::vector<std::pair<std::string, std::string>> environment;  // set
        std::vector<std::string> unset;                                // removed
    };
    explicit TerminalSession(const Start& start);
    ~TerminalSession();  // a program still running is killed with its process group
    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;

    bool started() const { return child_ > 0; }
    // Reads until `text` appears after the place of the last wait; false when the program
    // ended or `seconds` passed first.
    bool waitFor(std::string_view text, int seconds = 60);
    // Types the line and Enter.
    void type(std::string_view line);
    // Ctrl-D: the terminal's input ends.
    void endInput();
    // Reads to the end and returns the exit status; -1 when it had to be killed.
    int finish(int seconds = 120);
    const std::string& output() const { return output_; }
    // The output since the last wait (what the program printed in answer to the last line).
    std::string recent() const { return output_.substr(seen_); }

  private:
    bool readSome(int milliseconds);
    // Whether the program has ended (its status kept); it is not waited for.
    bool exited();

    pid_t child_ = -1;
    int master_ = -1;
    bool ended_ = false;  // the program ended and all it wrote was read
    int status_ = -1;     // its exit status once exited()
    std::string output_;
    std::size_t seen_ = 0;
};

}  // namespace kestrel::setup::test
