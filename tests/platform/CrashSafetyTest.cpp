// Files replaced in place survive their writer being killed at any moment: afterwards they
// hold the old content or the new, and what a killed write left beside them goes with the
// next write.
#include <gtest/gtest.h>

#include "CrashLoop.h"
#include "TestSupport.h"
#include "platform/AtomicFile.h"
#include "platform/ProfileFunctions.h"
#include "platform/Registry.h"
#include "platform/WindowsErrors.h"

namespace kestrel::platform {
namespace {

namespace fs = std::filesystem;
using test::AlternatingWrites;
using test::CrashLoop;

// Large enough that a write takes a while, so that kills land in every part of it.
std::string bulk(char fill, std::size_t lines) {
    std::string text;
    for (std::size_t line = 0; line < lines; ++line)
        text += "Line" + std::to_string(line) + "=" + std::string(60, fill) + "\r\n";
    return text;
}

TEST(CrashSafety, AtomicReplacementIsOldOrNew) {
    test::TempDir dir;
    const fs::path file = dir / "data.bin";
    const std::array<std::string, 2> versions{bulk('a', 8000), bulk('b', 6000)};
    CrashLoop loop("atomic file", file);
    test::expectOldOrNew(
        loop, {.write = [&](int version) { return !writeFileAtomically(file, versions[version]); },
               .observe = [&] { return readWholeFile(file); }});
}

TEST(CrashSafety, ProfileEditIsOldOrNew) {
    test::TempDir dir;
    const fs::path file = dir / "WIN.INI";
    test::writeFile(file, "[Bulk]\r\n" + bulk('x', 5000));
    CrashLoop loop("profile file", file);
    test::expectOldOrNew(loop, {.write =
                                    [&](int version) {
                                        return writeProfileString(file, "Kestrel", "Run",
                                                                  version == 0 ? "zero" : "one");
                                    },
                                .observe = [&] { return readWholeFile(file); }});
}

// A hive is checked as Wine would read it: it must parse, hold every key, and the value
// written last or the one before.
TEST(CrashSafety, HiveSaveIsOldOrNew) {
    test::TempDir prefix;
    const auto open = [&] { return Registry::open(prefix.path(), prefix / "servers"); };
    {
        auto registry = open();
        ASSERT_TRUE(registry.has_value());
        for (int key = 0; key < 1500; ++key) {
            const std::string path = "Software\\Bulk\\Key" + std::to_string(key);
            ASSERT_EQ((*registry)->createKey(RegistryRoot::LocalMachine, path), kErrorSuccess);
            ASSERT_EQ((*registry)->setValue(RegistryRoot::LocalMachine, path, "Data",
                                            RegistryValue::text(1, std::string(40, 'v'))),
                      kErrorSuccess);
        }
        ASSERT_TRUE((*registry)->save().has_value());
    }
    const auto write = [&](int version) {
        auto registry = open();
        if (!registry) return false;
        Registry& hives = **registry;
        return hives.createKey(RegistryRoot::LocalMachine, "Software\\Acme") == kErrorSuccess &&
               hives.setValue(RegistryRoot::LocalMachine, "Software\\Acme", "Run",
                              RegistryValue::text(1, version == 0 ? "zero" : "one")) ==
                   kErrorSuccess &&
               hives.save().has_value();
    };
    const auto observe = [&]() -> std::optional<std::string> {
        auto registry = open();
        if (!registry) return std::nullopt;
        RegistryValue run;
        std::vector<std::string> keys;
        if ((*registry)->queryValue(RegistryRoot::LocalMachine, "Software\\Acme", "Run", &run) !=
                kErrorSuccess ||
            (*registry)->subkeyNames(RegistryRoot::LocalMachine, "Software\\Bulk", &keys) !=
                kErrorSuccess)
            return std::nullopt;
        return run.textValue() + " with " + std::to_string(keys.size()) + " keys";
    };
    CrashLoop loop("hive", prefix / "system.reg");
    test::expectOldOrNew(loop, {.write = write, .observe = observe});
}

}  // namespace
}  // namespace kestrel::platform
