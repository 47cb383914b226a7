#include "LdapValues.h"

#include <charconv>
#include <ctime>

#include "LdapName.h"
#include "ObjectRecord.h"
#include "nwkit/Syntax.h"
#include "nwnet.h"

namespace nw {

namespace {

// Reads `count` digits at `at` into `value`.
bool digits(std::string_view text, std::size_t at, std::size_t count, int* value) {
    if (at + count > text.size()) return false;
    auto [end, error] = std::from_chars(text.data() + at, text.data() + at + count, *value);
    return error == std::errc() && end == text.data() + at + count;
}

std::string wireNumber(std::uint32_t value) {
    std::string out;
    appendNumber(out, value);
    return out;
}

std::optional<std::uint32_t> integerOf(std::string_view text) {
    long long value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    // Integers are signed 32-bit values; times and counters are unsigned.
    if (value < INT32_MIN || value > static_cast<long long>(UINT32_MAX)) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

}  // namespace

std::optional<std::uint32_t> secondsOfGeneralizedTime(std::string_view text) {
    // YYYYMMDDHH[MM[SS]][(.|,)fraction](Z|+hhmm|-hhmm)
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!digits(text, 0, 4, &year) || !digits(text, 4, 2, &month) || !digits(text, 6, 2, &day) ||
        !digits(text, 8, 2, &hour))
        return std::nullopt;
    std::size_t at = 10;
    if (digits(text, at, 2, &minute)) {
        at += 2;
        if (digits(text, at, 2, &second)) at += 2;
    }
    if (at < text.size() && (text[at] == '.' || text[at] == ',')) {
        ++at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
    }
    // The zone is not optional (RFC 4517): a time without one means no particular moment.
    long long offset = 0;
    if (at >= text.size()) {
        return std::nullopt;
    } else if (at + 1 == text.size() && text[at] == 'Z') {
        at = text.size();
    } else if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        int offsetHours = 0, offsetMinutes = 0;
        if (!digits(text, at + 1, 2, &offsetHours)) return std::nullopt;
        if (at + 3 < text.size() && !digits(text, at + 3, 2, &offsetMinutes)) return std::nullopt;
        offset = (offsetHours * 3600LL + offsetMinutes * 60LL) * (text[at] == '+' ? 1 : -1);
        at = text.size();
    }
    if (at != text.size() || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 ||
        minute > 59 || second > 60)
        return std::nullopt;
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    long long seconds = static_cast<long long>(timegm(&parts)) - offset;
    if (seconds < 0 || seconds > static_cast<long long>(UINT32_MAX)) return std::nullopt;
    return static_cast<std::uint32_t>(seconds);
}

std::string generalizedTimeOf(std::uint32_t seconds) {
    std::time_t time = static_cast<std::time_t>(seconds);
    std::tm parts{};
    gmtime_r(&time, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d%H%M%SZ", &parts);
    return text;
}

std::optional<std::string> wireValueOf(std::uint32_t syntax, std::string_view value,
                                       std::string_view baseDn) {
    if (syntax == SYN_TIME) {
        auto seconds = secondsOfGeneralizedTime(value);
        return seconds ? std::optional(wireNumber(*seconds)) : std::nullopt;
    }
    if (syntax == SYN_BOOLEAN) {
        if (value != "TRUE" && value != "FALSE") return std::nullopt;
        return wireNumber(value == "TRUE" ? 1 : 0);
    }
    if (kit::isNumericSyntax(syntax)) {
        auto number = integerOf(value);
        return number ? std::optional(wireNumber(*number)) : std::nullopt;
    }
    if (syntax == SYN_NET_ADDRESS) {
        std::size_t hash = value.find('#');
        if (hash == std::string_view::npos) return std::nullopt;
        auto type = integerOf(value.substr(0, hash));
        if (!type) return std::nullopt;
        return wireNumber(*type) + std::string(value.substr(hash + 1));
    }
    if (syntax == SYN_DIST_NAME) {
        // A name in the tree reads as the directory writes it; any other stays a DN.
        auto name = fromDn(value, baseDn);
        return name && !name->empty() ? *name : std::string(value);
    }
    return std::string(value);
}

std::string ldapNumber(std::uint32_t syntax, std::uint32_t number) {
    if (syntax == SYN_TIME) return generalizedTimeOf(number);
    if (syntax == SYN_INTEGER) return std::to_string(static_cast<std::int32_t>(number));
    return std::to_string(number);
}

}  // namespace nw
