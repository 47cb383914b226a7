// The per-user session file (logins, default tree and name context) as every program of the
// user reads it back after another one wrote it.
#include "FuzzInput.h"
#include "SessionStore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const kestrel::fuzz::MemoryFile file(data, size);
    nw::SessionStore store(file.path());
    const nw::SessionState& state = store.current();
    (void)state.loginFor(state.defaultTree);
    return 0;
}
