#include "platform/Wow64Registry.h"

#include <gtest/gtest.h>

namespace kestrel::platform {
namespace {

TEST(Wow64Registry, A32BitProgramsKeysOnA64BitSystem) {
    using enum RegistryRoot;
    const std::vector<std::pair<RegistryLocation, RegistryLocation>> cases = {
        {{LocalMachine, "Software\\Acme\\App"}, {LocalMachine, "Software\\Wow6432Node\\Acme\\App"}},
        {{LocalMachine, "SOFTWARE\\Acme"}, {LocalMachine, "SOFTWARE\\Wow6432Node\\Acme"}},
        {{LocalMachine, "\\Software\\\\Acme\\"}, {LocalMachine, "Software\\Wow6432Node\\Acme"}},
        // Already in the 32-bit view, or the Software key itself.
        {{LocalMachine, "Software\\wow6432node\\Acme"},
         {LocalMachine, "Software\\wow6432node\\Acme"}},
        {{LocalMachine, "Software"}, {LocalMachine, "Software"}},
        // The classes have their own 32-bit view, as Wine 8 keeps them.
        {{LocalMachine, "Software\\Classes\\CLSID\\{1}"},
         {LocalMachine, "Software\\Classes\\Wow6432Node\\CLSID\\{1}"}},
        {{LocalMachine, "Software\\Classes\\interface"},
         {LocalMachine, "Software\\Classes\\Wow6432Node\\interface"}},
        {{LocalMachine, "Software\\Classes\\.acme"},
         {LocalMachine, "Software\\Classes\\Wow6432Node\\.acme"}},
        {{LocalMachine, "Software\\Classes"}, {LocalMachine, "Software\\Classes"}},
        {{ClassesRoot, "CLSID\\{1}\\InprocServer32"},
         {ClassesRoot, "Wow6432Node\\CLSID\\{1}\\InprocServer32"}},
        {{ClassesRoot, "Acme.Document"}, {ClassesRoot, "Wow6432Node\\Acme.Document"}},
        {{ClassesRoot, "Wow6432Node\\x"}, {ClassesRoot, "Wow6432Node\\x"}},
        // Keys both views share, with their subkeys, in any case.
        {{LocalMachine, "Software\\Classes\\TypeLib\\{2}"},
         {LocalMachine, "Software\\Classes\\TypeLib\\{2}"}},
        {{ClassesRoot, "appid\\{3}"}, {ClassesRoot, "appid\\{3}"}},
        {{LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\acme.exe"},
         {LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\acme.exe"}},
        {{LocalMachine, "software\\microsoft\\windows nt\\currentversion\\fonts"},
         {LocalMachine, "software\\microsoft\\windows nt\\currentversion\\fonts"}},
        {{LocalMachine, "Software\\Policies\\Acme"}, {LocalMachine, "Software\\Policies\\Acme"}},
        // Their parents, and keys that only begin like them, are apart.
        {{LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion"},
         {LocalMachine, "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion"}},
        {{LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Acme"},
         {LocalMachine,
          "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Acme"}},
        {{LocalMachine, "Software\\Microsoft\\OLEx"},
         {LocalMachine, "Software\\Wow6432Node\\Microsoft\\OLEx"}},
        {{LocalMachine, "Software\\Wine"}, {LocalMachine, "Software\\Wow6432Node\\Wine"}},
        // Outside Software, and the user's keys: one view.
        {{LocalMachine, "System\\CurrentControlSet\\Services\\Acme"},
         {LocalMachine, "System\\CurrentControlSet\\Services\\Acme"}},
        {{CurrentUser, "Software\\Acme"}, {CurrentUser, "Software\\Acme"}},
    };
    for (const auto& [from, to] : cases) {
        EXPECT_EQ(redirectFor32BitProgram(from.root, from.path), to) << from.path;
    }
}

}  // namespace
}  // namespace kestrel::platform
