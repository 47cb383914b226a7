// Profile (INI) files with the Windows profile functions' semantics. Reading and writing back
// keeps every byte; a key that was set reads back with the value set.
#include <cstdio>

#include "FuzzInput.h"
#include "platform/ProfileDocument.h"

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "profile: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using kestrel::platform::ProfileDocument;
    const auto text = kestrel::fuzz::text(data, size);
    ProfileDocument document = ProfileDocument::parse(text);
    if (document.serialise() != text) fail("the text does not come back unchanged");

    for (const std::string& section : document.sectionNames()) {
        (void)document.entries(section);
        for (const std::string& key : document.keys(section)) (void)document.get(section, key);
    }
    const auto sections = document.sectionNames();
    const std::string section = sections.empty() ? "Fuzz" : sections.front();
    if (document.set(section, "FuzzKey", "value")) {
        if (document.get(section, "FuzzKey") != "value") fail("a set key reads another value");
        const auto reread = ProfileDocument::parse(document.serialise());
        if (reread.get(section, "FuzzKey") != "value") fail("a set key is lost on saving");
        (void)document.remove(section, "FuzzKey");
    }
    (void)document.addLine(section, "device", "fuzz.drv");
    (void)document.removeLine(section, "device", "FUZZ.DRV");
    (void)document.removeEmptySection(section);
    (void)document.removeSection(section);
    (void)document.serialise();
    return 0;
}
