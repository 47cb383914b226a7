#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "script/Expander.h"
#include "script/RunState.h"

namespace kestrel::setup {

// Which run kinds a link is for, from how its path begins as written.
enum class LinkScope {
    User,    // "%User...": the user's own folders
    Common,  // "%Common...": the all-users folders
    App,     // "%App%": the application directory, for whoever the links are for
    Other,
};

// One line of a link section: nine comma-separated fields, the first six expanded.
struct LinkEntry {
    LinkScope scope = LinkScope::Other;
    std::string location;  // field 1: folder and name (a group and an item's name)
    std::string target;    // field 2, without the quotes it may be written in
    std::string arguments;
    std::string workingDirectory;
    std::string description;
    std::string iconFile;
    std::optional<int> iconIndex;              // field 7 when given
    std::optional<std::uint32_t> showCommand;  // field 8 when given
    std::uint16_t hotKey = 0;
};

// Reads a link line. A target written in double quotes ends at the closing quote; what
// follows it up to the comma is the arguments when field 3 is empty. Missing fields are
// empty: the operation says what is wrong with the line when it runs.
LinkEntry parseLinkLine(std::string_view line, const Expander& expander);

// Whether a link of the scope is made (and removed) in this run. `appLinksCommon`: "%App%"
// links follow the all-users rule rather than the user's.
bool linkApplies(LinkScope scope, const RunState& run, bool appLinksCommon);

// The Windows path a location names: below `programs` unless it has a drive or begins with
// a backslash.
std::string locationPath(std::string_view location, std::string_view programs);
// The link file a location names: its path with ".lnk" added unless it ends in ".lnk" or
// ".pif".
std::string linkFilePath(std::string_view location, std::string_view programs);

}  // namespace kestrel::setup
