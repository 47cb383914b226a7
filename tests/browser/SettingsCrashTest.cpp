// KESTRELSCOPE.INI survives the browser being killed while it saves its settings: the file
// holds the settings before or after, never a half file.
#include <gtest/gtest.h>

#include "CrashLoop.h"
#include "platform/AtomicFile.h"
#include "window/SettingsFile.h"

namespace kestrel::browser {
namespace {

TEST(SettingsCrashSafety, SavedSettingsAreOldOrNew) {
    const SettingsFile settings;
    const auto write = [&](int version) {
        return settings.write({{kStartContextKey, version == 0 ? "OU=Sales.O=Acme" : "O=Acme"},
                               {kStartTreeKey, version == 0 ? "ACME_TREE" : "OTHER_TREE"},
                               {kInventoryServerKey, version == 0 ? "" : "INV1"}});
    };
    test::CrashLoop loop("KESTRELSCOPE.INI", settings.path());
    test::expectOldOrNew(loop, {.write = write, .observe = [&] {
                                    return platform::readWholeFile(settings.path());
                                }});
}

}  // namespace
}  // namespace kestrel::browser
