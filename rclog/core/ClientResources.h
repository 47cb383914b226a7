// The client resources of one run: the Unicode tables and the directory context. Whatever was
// set up is released when the run ends, on every path out of it.
#pragma once

#include "ClientCalls.h"

namespace kestrel::rclog {

class ClientResources {
  public:
    explicit ClientResources(const ClientCalls& calls) : calls_(calls) {}
    ~ClientResources() {
        if (context_ != ERR_CONTEXT_CREATION) calls_.NWDSFreeContext(context_);
        if (unicodeTables_) calls_.NWFreeUnicodeTables();
    }
    ClientResources(const ClientResources&) = delete;
    ClientResources& operator=(const ClientResources&) = delete;

    void unicodeTablesLoaded() { unicodeTables_ = true; }
    void adoptContext(NWDSContextHandle context) { context_ = context; }
    // ERR_CONTEXT_CREATION while there is none.
    NWDSContextHandle context() const { return context_; }

  private:
    const ClientCalls& calls_;
    bool unicodeTables_ = false;
    NWDSContextHandle context_ = ERR_CONTEXT_CREATION;
};

}  // namespace kestrel::rclog
