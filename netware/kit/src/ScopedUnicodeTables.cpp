#include "nwkit/ScopedUnicodeTables.h"

namespace nw::kit {

ScopedUnicodeTables::~ScopedUnicodeTables() {
    if (loaded_) calls_.NWFreeUnicodeTables();
}

nint ScopedUnicodeTables::load(nint countryCode, nint codePage) {
    nint result = calls_.NWInitUnicodeTables(countryCode, codePage);
    loaded_ = loaded_ || result == 0;
    return result;
}

}  // namespace nw::kit
