// The text of the two logs: headers and lines, comma-separated, ended by CR LF. Values are
// written as they are, without quotes.
#pragma once

#include <array>
#include <ctime>
#include <optional>
#include <string>

#include "VersionStrings.h"

namespace kestrel::rclog {

enum class LogKind { Start, Session };

// The four header lines of a new log; the three workstation column names only when
// `workstationColumns` is on at creation.
std::string logHeader(LogKind kind, const VersionStrings& version, bool workstationColumns);

// A moment as the logs show it: "14:05:09" and "07 Jul 1999", local time.
struct Stamp {
    std::string time;
    std::string date;

    static Stamp of(const std::tm& moment);
    static Stamp now();
};

// What one session line says besides its times.
struct SessionRecord {
    std::string initiator;
    std::string target;
    // Operating system, computer name, DNS name; only with directory data on.
    std::optional<std::array<std::string, 3>> workstation;
    std::string action;
    std::string tree;
};

std::string startLine(const Stamp& start, const SessionRecord& record);
std::string sessionLine(const Stamp& start, const Stamp& end, const SessionRecord& record);

}  // namespace kestrel::rclog
