#include "ops/SectionFileName.h"

namespace kestrel::setup {

std::string sectionFileName(std::string_view section) {
    if (const std::size_t colon = section.rfind(':'); colon != std::string_view::npos) {
        section = section.substr(0, colon);
    }
    if (const std::size_t dot = section.find('.'); dot != std::string_view::npos) {
        const std::string_view rest = section.substr(dot + 1);
        if (rest.size() > 3 && rest.find('.') != std::string_view::npos) return std::string(rest);
    }
    return std::string(section);
}

}  // namespace kestrel::setup
