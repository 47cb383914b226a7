#include "RecordsFixture.h"

namespace kestrel::setup::test {

std::string productScript(const std::string& application, const std::string& rest) {
    // The first of two equal keys counts: the test's own lines come first.
    return "[Setup]\nVersion=5.11\n[Application]\n" + application +
           "ProductName=Acme Tools\nDeveloperName=Acme\n"
           "Version=2.0\nRevision=3\nMachineKeyName=Acme\\\\Tools\\\\%Version%\n"
           "UninstallKeyName=Acme Tools %Version%\nUninstallDisplayName=Acme Tools 2.0\n"
           "ApplicationDir=%ProgramFilesDir%\\Acme\nSetupInfDir=Setup\n" +
           rest;
}

}  // namespace kestrel::setup::test
