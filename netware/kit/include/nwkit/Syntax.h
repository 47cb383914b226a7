// Families of attribute syntaxes: how a value is held and compared.
#pragma once

#include <cstdint>

#include "nwnet.h"

namespace nw::kit {

// Values held as text.
constexpr bool isTextSyntax(std::uint32_t syntax) {
    return syntax == SYN_DIST_NAME || syntax == SYN_CE_STRING || syntax == SYN_CI_STRING ||
           syntax == SYN_PR_STRING || syntax == SYN_NU_STRING || syntax == SYN_TEL_NUMBER ||
           syntax == SYN_CLASS_NAME;
}

// Values held as one 32-bit number.
constexpr bool isNumericSyntax(std::uint32_t syntax) {
    return syntax == SYN_BOOLEAN || syntax == SYN_INTEGER || syntax == SYN_COUNTER ||
           syntax == SYN_TIME || syntax == SYN_INTERVAL;
}

}  // namespace nw::kit
