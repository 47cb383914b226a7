#include "directory/TimeText.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>

namespace kestrel::browser {

namespace {

// English names whatever the locale says.
constexpr std::array<const char*, 7> kWeekdays{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

}  // namespace

std::string timeText(std::uint32_t secondsSince1970) {
    std::time_t time = secondsSince1970;
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr) return {};
    int hour = local.tm_hour > 12 ? local.tm_hour - 12 : local.tm_hour;
    if (hour == 0) hour = 12;
    std::array<char, 64> text{};
    int length = std::snprintf(text.data(), text.size(), "%s %s%3d %02d:%02d:%02d %d\n",
                               kWeekdays.at(static_cast<std::size_t>(local.tm_wday)),
                               kMonths.at(static_cast<std::size_t>(local.tm_mon)), local.tm_mday,
                               hour, local.tm_min, local.tm_sec, local.tm_year + 1900);
    if (length <= 0) return {};
    return std::string(text.data(), std::min(static_cast<std::size_t>(length), text.size() - 1));
}

}  // namespace kestrel::browser
