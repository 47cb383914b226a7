#include "messages/MessageFormat.h"

#include <algorithm>
#include <cstdio>

namespace kestrel::setup {

const std::string& MessageArg::text() const {
    static const std::string empty;
    return isText() ? std::get<0>(value_) : empty;
}

std::int64_t MessageArg::number() const {
    if (!isText()) return std::get<1>(value_);
    // A text where a number is expected counts by its leading digits.
    std::int64_t number = 0;
    const std::string& text = std::get<0>(value_);
    std::size_t i = (!text.empty() && text[0] == '-') ? 1 : 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && number < (1LL << 50); ++i) {
        number = number * 10 + (text[i] - '0');
    }
    return (!text.empty() && text[0] == '-') ? -number : number;
}

std::string formatMessage(std::string_view format, const std::vector<MessageArg>& args,
                          std::size_t limit) {
    std::string out;
    std::size_t next = 0;
    const auto take = [&]() -> const MessageArg* {
        return next < args.size() ? &args[next++] : nullptr;
    };
    std::size_t i = 0;
    while (i < format.size() && out.size() < limit) {
        if (format[i] != '%') {
            out += format[i++];
            continue;
        }
        // Collect the conversion: flags, width, precision, length, conversion letter.
        const std::size_t start = i;
        std::string spec = "%";
        std::size_t j = i + 1;
        while (j < format.size() &&
               std::string_view("-+ #0").find(format[j]) != std::string_view::npos) {
            spec += format[j++];
        }
        const auto number = [&](bool precision) {
            if (j < format.size() && format[j] == '*') {
                ++j;
                const MessageArg* arg = take();
                const std::int64_t n = arg ? arg->number() : 0;
                // As printf takes it from "*", a negative precision is none at all (its '.'
                // goes); written into the format it would make the conversion invalid.
                if (precision && n < 0) {
                    spec.pop_back();
                    return;
                }
                spec += std::to_string(std::clamp<std::int64_t>(n, -4096, 4096));
                return;
            }
            std::size_t digits = 0;
            while (j < format.size() && format[j] >= '0' && format[j] <= '9') {
                if (++digits <= 4) spec += format[j];  // widths beyond 9999 are cut
                ++j;
            }
        };
        number(false);
        if (j < format.size() && format[j] == '.') {
            spec += format[j++];
            number(true);
        }
        while (j < format.size() &&
               std::string_view("hlLqjzt").find(format[j]) != std::string_view::npos) {
            ++j;  // the argument's own type decides the width of the number
        }
        if (j >= format.size()) {
            out += format.substr(i);
            break;
        }
        const char conversion = format[j];
        i = j + 1;
        char buffer[4200];
        int written = 0;
        switch (conversion) {
            case '%':
                out += '%';
                continue;
            case 's': {
                const MessageArg* arg = take();
                const std::string text = !arg            ? ""
                                         : arg->isText() ? arg->text()
                                                         : std::to_string(arg->number());
                written = std::snprintf(buffer, sizeof buffer, (spec + "s").c_str(), text.c_str());
                break;
            }
            case 'd':
            case 'i': {
                const MessageArg* arg = take();
                written = std::snprintf(buffer, sizeof buffer, (spec + "lld").c_str(),
                                        static_cast<long long>(arg ? arg->number() : 0));
                break;
            }
            case 'u':
            case 'x':
            case 'X':
            case 'o': {
                const MessageArg* arg = take();
                // Windows numbers are 32 bits wide: -1 prints as 4294967295.
                const auto value = static_cast<std::uint32_t>(arg ? arg->number() : 0);
                written = std::snprintf(buffer, sizeof buffer, (spec + "ll" + conversion).c_str(),
                                        static_cast<unsigned long long>(value));
                break;
            }
            case 'c': {
                const MessageArg* arg = take();
                written = std::snprintf(
                    buffer, sizeof buffer, (spec + "c").c_str(),
                    static_cast<int>(arg ? static_cast<unsigned char>(arg->number()) : ' '));
                break;
            }
            default:
                // Not a conversion we know: the text stays as it is.
                out += format.substr(start, i - start);
                continue;
        }
        if (written > 0)
            out.append(buffer,
                       std::min<std::size_t>(static_cast<std::size_t>(written), sizeof buffer - 1));
    }
    if (out.size() > limit) out.resize(limit);
    return out;
}

}  // namespace kestrel::setup
