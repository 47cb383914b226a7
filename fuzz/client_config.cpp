// The client configuration (nwclient.ini) as every network tool reads it at start.
#include "ClientConfig.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const kestrel::fuzz::MemoryFile file(data, size);
    (void)nw::readClientConfig(file.path());
    return 0;
}
