#include "copy/CabinetTemplate.h"

#include <algorithm>
#include <cstdio>

namespace kestrel::setup::copy {

std::string cabinetFileName(std::string_view nameTemplate, std::optional<int> disk) {
    if (!disk) return "Setup.cab";
    const auto firstZero = nameTemplate.find('0');
    if (firstZero == std::string_view::npos) return std::string(nameTemplate);

    const auto width = static_cast<int>(std::ranges::count(nameTemplate, '0'));
    // Wide enough for any width the 80-character template allows plus a sign and digits.
    char digits[128];
    const int length = std::snprintf(digits, sizeof digits, "%0*d", width, *disk);

    // The digits overwrite the template; a number wider than the zeros runs on over the
    // characters after them and, past the end, lengthens the name.
    std::string name(nameTemplate);
    const std::size_t end = firstZero + static_cast<std::size_t>(length);
    if (name.size() < end) name.resize(end);
    name.replace(firstZero, static_cast<std::size_t>(length), digits,
                 static_cast<std::size_t>(length));
    return name;
}

}  // namespace kestrel::setup::copy
