#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Expected.h"
#include "platform/WindowsPathText.h"

namespace kestrel::setup {

// Why a script could not be loaded: the message (5501 cannot open, 5502 cannot read) and
// the path it names.
struct ScriptLoadError {
    int message = 0;
    std::string path;
};

// One line as the readers return it.
struct ScriptLine {
    std::string text;
    std::size_t start = 0;  // where the line's text begins (after its leading blanks)
    std::size_t next = 0;   // where reading goes on
};

// An installation script held in memory as read (CR LF or LF), with the readers every part
// of the installer uses. Its text is single-byte text in the root's ANSI code page, kept as
// those bytes: that is the installer's own text throughout, converted where it meets the
// system (RegistryServices). The main script keeps an index of the lines that begin with
// "["; other files read this way find their headers by a plain search.
class ScriptText {
  public:
    static platform::Expected<ScriptText, ScriptLoadError> load(const std::filesystem::path& file,
                                                                std::string displayName,
                                                                bool indexed = true);
    static ScriptText fromText(std::string text, std::string displayName, bool indexed = true);

    const std::string& displayName() const { return name_; }
    std::string_view text() const { return text_; }

    // Where the section's first line starts (after its header line), or nullopt. The name
    // is compared without regard to case, brackets included; the first of two sections of
    // the same name counts.
    std::optional<std::size_t> findSection(std::string_view name) const;

    // The line at `pos`: blanks, tabs and empty lines skipped, cut to size - 1 characters
    // (the rest of the line skipped). nullopt at the end of the text or of the section (a
    // line whose first non-blank character is "["). Comment lines (";") come back empty
    // unless kept; with continuation a backslash right before the line end joins the next
    // line without its leading blanks.
    std::optional<ScriptLine> readLine(std::size_t pos, std::size_t size, bool keepComments,
                                       bool allowContinuation) const;

    // All lines of a section (comments as empty lines, as readLine returns them); empty
    // when the section is missing.
    std::vector<ScriptLine> sectionLines(std::string_view section, std::size_t size,
                                         bool allowContinuation = false) const;

    // Where the value of the key starts, or nullopt. Key lines are the lines with "=" within
    // their first 255 characters; the key is what stands before it without trailing blanks,
    // compared without case; the first match wins.
    std::optional<std::size_t> findKey(std::string_view section, std::string_view key) const;
    // The value of the key up to the line end, cut to size - 1 characters, without leading
    // and trailing blanks; nullopt when the key or section is missing.
    std::optional<std::string> readValue(std::string_view section, std::string_view key,
                                         std::size_t size = 256) const;
    bool hasSection(std::string_view section) const { return findSection(section).has_value(); }

    // 1-based line number of a position, for messages.
    std::size_t lineNumberAt(std::size_t pos) const;

  private:
    ScriptText(std::string text, std::string name, bool indexed);

    std::string text_;
    std::string name_;
    bool indexed_;
    std::vector<std::size_t> index_;  // starts of the lines that begin with "["
};

// Blanks as the readers skip them: space and tab.
bool isBlank(char c);
using platform::trimBlanks;

}  // namespace kestrel::setup
