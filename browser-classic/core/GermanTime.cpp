#include "GermanTime.h"

#include <array>
#include <cstdio>
#include <ctime>

namespace kestrel::classic {

std::string germanTimeText(std::uint32_t secondsSince1970) {
    // German names whatever the locale says.
    constexpr std::array<const char*, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "Mai", "Jun",
                                                  "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
    std::time_t time = secondsSince1970;
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr) return {};
    std::array<char, 48> text{};
    int length = std::snprintf(text.data(), text.size(), "%02d-%s-%04d %02d:%02d:%02d",
                               local.tm_mday, kMonths.at(static_cast<std::size_t>(local.tm_mon)),
                               local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
    if (length <= 0 || static_cast<std::size_t>(length) >= text.size()) return {};
    return std::string(text.data(), static_cast<std::size_t>(length));
}

}  // namespace kestrel::classic
