#pragma once

#include <ostream>
#include <string>

namespace kestrel::setup::copy {

// What a command-list run (/T) writes instead of copying: the list form (/T, a ".txt" file)
// names each source relative to the source directory; the batch form (/T1, a ".bat" file)
// gives the commands that would copy it. The caller opens the file and keeps it.
class CommandList {
  public:
    enum class Form { List, Batch };

    // One file that would be copied. `source` is the file's Windows path (for a cabinet
    // member: the cabinet's), `name` the source as the line names it.
    struct Entry {
        std::string name;
        std::string source;
        std::string destination;
        bool compressed = false;  // read through expansion
        bool cabinetMember = false;
    };

    // `name` names the file in messages.
    CommandList(std::ostream& out, Form form, std::string name)
        : out_(out), form_(form), name_(std::move(name)) {}
    const std::string& name() const { return name_; }

    // false when the file could not be written.
    [[nodiscard]] bool add(const Entry& entry);

  private:
    std::ostream& out_;
    Form form_;
    std::string name_;
};

}  // namespace kestrel::setup::copy
