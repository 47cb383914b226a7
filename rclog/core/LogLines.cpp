#include "LogLines.h"

#include <algorithm>
#include <cstdio>

#include "LogPaths.h"

namespace kestrel::rclog {

namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// A line break inside a value would cut the record in two and pass half of it off as a line
// of its own; it is written as a blank instead.
std::string field(std::string value) {
    std::replace_if(
        value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return value;
}

// Target, workstation columns, action and tree: the same in both logs.
std::string recordTail(const SessionRecord& record) {
    std::string tail = " " + field(record.target) + ",";
    if (record.workstation) {
        for (const std::string& value : *record.workstation) tail += " " + field(value) + ",";
    }
    return tail + " " + field(record.action) + ", " + field(record.tree) + kLineEnd;
}

}  // namespace

std::string logHeader(LogKind kind, const VersionStrings& version, bool workstationColumns) {
    const bool start = kind == LogKind::Start;
    std::string header = std::string(start ? kStartLogName : kSessionLogName) + "  " +
                         version.versionLine() + kLineEnd + version.legalLine() + kLineEnd +
                         kLineEnd;
    header += start ? "Time, Date, RC Initiator, Target, "
                    : "Start Time, Start Date, End Time, End Date, RC Initiator, Target, ";
    if (workstationColumns) header += "WS OS, WS Computer Name, WS DNS Name, ";
    return header + "Action, Tree name" + kLineEnd;
}

Stamp Stamp::of(const std::tm& moment) {
    char time[16];
    char date[24];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", moment.tm_hour, moment.tm_min,
                  moment.tm_sec);
    const int month = std::clamp(moment.tm_mon, 0, 11);
    std::snprintf(date, sizeof date, "%02d %s %04d", moment.tm_mday, kMonths[month],
                  moment.tm_year + 1900);
    return {time, date};
}

Stamp Stamp::now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return of(local);
}

std::string startLine(const Stamp& start, const SessionRecord& record) {
    return start.time + ", " + start.date + ", " + field(record.initiator) + "," +
           recordTail(record);
}

std::string sessionLine(const Stamp& start, const Stamp& end, const SessionRecord& record) {
    return start.time + ", " + start.date + ", " + end.time + ", " + end.date + ", " +
           field(record.initiator) + "," + recordTail(record);
}

}  // namespace kestrel::rclog
