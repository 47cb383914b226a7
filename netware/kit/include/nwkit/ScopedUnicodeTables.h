// The client's Unicode tables, loaded for one run and freed again on every way out of it.
#pragma once

#include "nwkit/ClientCalls.h"

namespace nw::kit {

class ScopedUnicodeTables {
  public:
    explicit ScopedUnicodeTables(const ClientCalls& calls) : calls_(calls) {}
    ~ScopedUnicodeTables();
    ScopedUnicodeTables(const ScopedUnicodeTables&) = delete;
    ScopedUnicodeTables& operator=(const ScopedUnicodeTables&) = delete;

    // 0 or the client's error (ERR_UNICODE_FILE_NOT_FOUND for a pair it has no tables for).
    [[nodiscard]] nint load(nint countryCode, nint codePage);

  private:
    const ClientCalls& calls_;
    bool loaded_ = false;
};

}  // namespace nw::kit
