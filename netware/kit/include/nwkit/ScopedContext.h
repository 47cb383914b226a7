// A directory context borrowed from the client for one operation and freed on every way out
// of it.
#pragma once

#include "nwkit/ClientCalls.h"

namespace nw::kit {

class ScopedContext {
  public:
    explicit ScopedContext(const ClientCalls& calls) : calls_(calls) {}
    ~ScopedContext() { release(); }
    ScopedContext(const ScopedContext&) = delete;
    ScopedContext& operator=(const ScopedContext&) = delete;

    // A new context with the client's defaults: 0 or the client's error.
    [[nodiscard]] NWDSCCODE create();
    // The same through the older call that answers with the handle itself; 0 or
    // ERR_CONTEXT_CREATION.
    [[nodiscard]] NWDSCCODE createDefault();
    NWDSContextHandle get() const { return handle_; }

  private:
    void release();

    const ClientCalls& calls_;
    NWDSContextHandle handle_ = 0;
    bool valid_ = false;
};

}  // namespace nw::kit
