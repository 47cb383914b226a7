#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ProfileLine.h"

namespace kestrel::platform {

// A profile (INI) file held in memory with Windows profile semantics: section and key names
// compare case-insensitively (ASCII) and without surrounding blanks, the first of duplicate
// sections or keys wins, and lines before the first section belong to no section.
// serialise() gives back every byte of the parsed text except the lines that were edited;
// new lines use the file's own line break (CR LF for a file that has none yet).
class ProfileDocument {
  public:
    static ProfileDocument parse(std::string_view text);
    std::string serialise() const;

    // A key's value as GetPrivateProfileString reads it: surrounding blanks removed, and a
    // matching pair of enclosing quotes (' or ") removed. nullopt when section or key is missing.
    std::optional<std::string> get(std::string_view section, std::string_view key) const;

    // Every key line of the section in file order, the same key as often as it stands there,
    // as "name"/"value" pairs (blanks around both removed, quotes kept), as
    // GetPrivateProfileSection gives them.
    std::vector<std::pair<std::string, std::string>> entries(std::string_view section) const;

    // Section names in file order, each once (the first spelling).
    std::vector<std::string> sectionNames() const;
    // Key names of the section in file order, each once; empty names are not listed.
    std::vector<std::string> keys(std::string_view section) const;

    // Sets a key, adding the section at the end or the key after the last key of its section
    // when missing. Returns false, changing nothing, when the names or value cannot be stored
    // in a profile line: a line break anywhere, an empty key, or a key containing '=' or
    // starting with ';' or '['.
    bool set(std::string_view section, std::string_view key, std::string_view value);
    // Removes every line of the key in the section; returns whether anything was removed.
    bool remove(std::string_view section, std::string_view key);
    // Removes every section of that name with all its lines; returns whether any was removed.
    bool removeSection(std::string_view section);
    // Removes an empty section the way set() added it: a section that ends the file takes the
    // blank line before it along, so adding a key and taking it away again gives back the
    // same bytes. Returns false, changing nothing, when the section still has a key.
    bool removeEmptySection(std::string_view section);

    // Keys that may stand on several lines, one entry each (such as "device" in System.ini,
    // or WININIT.INI's [Rename]):
    // addLine puts key=value after the section's last key even when the key is there
    // (creating the section at the end of the file when missing; false, as set(), for what a
    // line cannot hold); removeLine takes away the lines of the key whose value is `value`,
    // both compared without case, and says whether there was one.
    bool addLine(std::string_view section, std::string_view key, std::string_view value);
    bool removeLine(std::string_view section, std::string_view key, std::string_view value);
    bool hasLine(std::string_view section, std::string_view key, std::string_view value) const;

    const std::string& lineBreak() const { return lineBreak_; }

  private:
    std::optional<std::size_t> findSection(std::string_view name) const;
    std::size_t sectionEnd(std::size_t header) const;
    std::optional<std::size_t> findLine(std::size_t header, std::string_view key,
                                        std::string_view value) const;
    bool insertKeyLine(std::string_view section, std::string_view key, std::string_view value,
                       bool replaceExisting);
    void insertLines(std::size_t at, const std::vector<std::string>& texts);
    void eraseLines(std::size_t from, std::size_t to);

    std::string byteOrderMark_;
    std::string lineBreak_ = "\r\n";
    std::vector<ProfileLine> lines_;
};

}  // namespace kestrel::platform
