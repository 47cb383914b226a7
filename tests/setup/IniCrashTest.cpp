// Setup killed while an INI section edits a file of the root: the file holds the edit or the
// state before it, never a half file. (Each line of a section is one edit of the file, so a
// section of several lines may be found done in part; its one line here is one edit.)
#include <gtest/gtest.h>

#include "CrashLoop.h"
#include "SystemFileFixture.h"
#include "ops/IniSection.h"
#include "platform/AtomicFile.h"

namespace kestrel::setup::test {
namespace {

using IniCrashSafety = SystemFileFixture;

TEST_F(IniCrashSafety, EditedFileIsOldOrNew) {
    // Others' keys make the file long enough for kills inside its write.
    std::string others = "[Others]\r\n";
    for (int key = 0; key < 4000; ++key) others += "Key" + std::to_string(key) + "=value\r\n";
    put("C:\\windows\\Acme.ini", others);
    load(
        "[Setup]\nVersion=5.11\n[Application]\nApplicationDir=C:\\Acme\n"
        "[Acme.ini]\nSettings,Dir,%App%\n");
    std::optional<PlanStep> step = readIniSection(context(), "Acme.ini");
    ASSERT_TRUE(step.has_value());
    const std::filesystem::path file = host("C:\\windows\\Acme.ini");
    // Version 0 is the file with the section's keys, version 1 the file without them.
    const auto write = [&](int version) {
        return run(step, version == 0 ? Direction::Install : Direction::Uninstall);
    };
    kestrel::test::CrashLoop loop("INI section", file, 150);
    kestrel::test::expectOldOrNew(
        loop, {.write = write, .observe = [&] { return platform::readWholeFile(file); }});
}

}  // namespace
}  // namespace kestrel::setup::test
