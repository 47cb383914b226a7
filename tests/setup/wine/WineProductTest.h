#pragma once

#include <filesystem>
#include <string>

#include "MachineSnapshot.h"
#include "SetupProcess.h"
#include "TestSupport.h"
#include "WineTest.h"

namespace kestrel::setup::test {

// Base of the tests that run the real `setup` program on Wine prefixes of their own.
class WineProductTest : public kestrel::test::WineTest {
  protected:
    // A prefix of this test only, named `name` in its folder: a copy of one that Wine made
    // for the first test (wineboot takes much longer than the copy). One program ran in it
    // once, so that what Wine adds at the first start of a session (the devices it finds)
    // is there before setup's run starts one.
    std::filesystem::path freshPrefix(const std::string& name);
    // Everything in the prefix, once its server (which setup's runs keep) has ended and
    // written the hives; without what Wine rewrites at every start of a session.
    static MachineSnapshot snapshot(const std::filesystem::path& prefix);
    // The real setup program from `directory`, with this test's folder in front of PATH.
    SetupOutcome setup(const std::filesystem::path& prefix,
                       const std::vector<std::string>& arguments,
                       const std::filesystem::path& directory);

    kestrel::test::TempDir work_;
};

}  // namespace kestrel::setup::test
