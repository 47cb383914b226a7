#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "SystemFileFixture.h"
#include "commands/ProgramStarter.h"
#include "system/SystemServices.h"
#include "wizard/ProgressWindow.h"

namespace kestrel::setup::test {

// A root and a session for the operations on the root's system: what they are built with,
// and the round trip every one of them owes.
class SystemStoreFixture : public SystemFileFixture {
  protected:
    using SystemFileFixture::SystemFileFixture;

    // Starts nothing: the operations under test keep their state in the root.
    class NoPrograms : public commands::ProgramStarter {
      public:
        std::uint32_t start(std::string_view, std::string_view, bool) override { return 2; }
    };

    // Loads the script and makes the services over its session.
    void loadScript(const std::string& script);
    SystemServices& services() { return *services_; }

    // Snapshot, install, look, uninstall, compare: the root must be as it was.
    ::testing::AssertionResult roundTrip(const std::function<bool(Direction)>& operation,
                                         const std::function<void()>& whileInstalled = {});
    std::string machineValue(std::string_view key, std::string_view name) {
        return value(platform::RegistryRoot::LocalMachine, key, name);
    }
    std::string userValue(std::string_view key, std::string_view name) {
        return value(platform::RegistryRoot::CurrentUser, key, name);
    }

  private:
    NoPrograms programs_;
    std::unique_ptr<ProgressWindow> progress_;
    std::unique_ptr<SystemServices> services_;
};

}  // namespace kestrel::setup::test
