#include "script/SystemDate.h"

#include <cstdio>

#include "platform/ProfileFunctions.h"

namespace kestrel::setup {

SystemDate::SystemDate(const platform::MachineRoot& machine) {
    const std::filesystem::path winIni = machine.profileFile("win.ini");
    dateSeparator_ = platform::getProfileString(winIni, "intl", "sDate", ".", 8);
    timeSeparator_ = platform::getProfileString(winIni, "intl", "sTime", ":", 8);
}

std::string SystemDate::date(const std::tm& local) const {
    char text[64];
    std::snprintf(text, sizeof text, "%02d%s%02d%s%04d", local.tm_mday, dateSeparator_.c_str(),
                  local.tm_mon + 1, dateSeparator_.c_str(), local.tm_year + 1900);
    return text;
}

std::string SystemDate::time(const std::tm& local) const {
    char text[32];
    std::snprintf(text, sizeof text, "%02d%s%02d", local.tm_hour, timeSeparator_.c_str(),
                  local.tm_min);
    return text;
}

}  // namespace kestrel::setup
