#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::setup {

// A start-up file (CONFIG.SYS, a batch file) held in memory as lines. Every byte comes back
// as it was read except the lines that were edited; new lines take the file's own line
// break (CR LF for a file without one). A file whose last line has no line break keeps that
// shape when lines are appended or the last one is removed, so that taking away what was
// appended gives back the same bytes.
class TextFileLines {
  public:
    static TextFileLines parse(std::string_view text);
    std::string serialise() const;

    std::size_t size() const { return lines_.size(); }
    const std::string& operator[](std::size_t index) const { return lines_[index].text; }

    void replace(std::size_t index, std::string text) { lines_[index].text = std::move(text); }
    void append(std::string text);
    void erase(std::size_t index);

  private:
    struct Line {
        std::string text;
        std::string lineBreak;  // "" for a last line without one
    };
    std::vector<Line> lines_;
    std::string lineBreak_ = "\r\n";
};

}  // namespace kestrel::setup
