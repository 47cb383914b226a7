// Setup killed while it copies a file over an existing one: the destination keeps the old
// file or has the new one, and the next run copies it even though the killed run's temporary
// name is still taken.
#include <gtest/gtest.h>

#include "CopyEngineFixture.h"
#include "CrashLoop.h"
#include "platform/AtomicFile.h"

namespace kestrel::setup::test {
namespace {

using CopyCrashSafety = CopyEngineFixture;

TEST_F(CopyCrashSafety, ReplacedFileIsOldOrNew) {
    start("[Files]\n0:data.bin,data.bin,ALWAYS\n");
    const std::array<std::string, 2> versions{std::string(3 << 20, 'a'), std::string(2 << 20, 'b')};
    const fs::path destination = host("C:\\Acme\\data.bin");
    const auto write = [&](int version) {
        source("data.bin", versions[static_cast<std::size_t>(version)]);
        return install("Files");
    };
    kestrel::test::CrashLoop loop("copy engine", destination, 150);
    // A killed copy leaves its temporary file (data.000, data.001, ...): the names are taken
    // in turn, and a name in use may be a file of the product's own, so none is removed.
    kestrel::test::expectOldOrNew(loop,
                                  {.write = write,
                                   .observe = [&] { return platform::readWholeFile(destination); },
                                   .leftovers = std::nullopt});
}

}  // namespace
}  // namespace kestrel::setup::test
