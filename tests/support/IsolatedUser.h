// A user of one's own for tests and benchmarks: a temporary root holding the home, the XDG
// places, the Windows profile and the Wine prefix, with the environment pointing there and
// TZ fixed at UTC (time texts are local time) until the object goes.
#pragma once

#include <filesystem>

#include "TestSupport.h"

namespace kestrel::test {

class IsolatedUser {
  public:
    IsolatedUser();
    IsolatedUser(const IsolatedUser&) = delete;
    IsolatedUser& operator=(const IsolatedUser&) = delete;

    // Points the environment here again, after another user took it over.
    void enter();

    const std::filesystem::path& root() const { return temp_.path(); }
    std::filesystem::path home() const { return root() / "home"; }
    std::filesystem::path configHome() const { return root() / "config"; }
    std::filesystem::path stateHome() const { return root() / "state"; }
    std::filesystem::path dataHome() const { return root() / "data"; }
    std::filesystem::path cacheHome() const { return root() / "cache"; }
    std::filesystem::path runtimeDir() const { return root() / "runtime"; }
    std::filesystem::path profile() const { return root() / "profile"; }  // USERPROFILE
    // Neither is made: a fresh user has no desktop folder and no Wine prefix yet.
    std::filesystem::path desktop() const { return profile() / "Desktop"; }
    std::filesystem::path winePrefix() const { return root() / "prefix"; }

    // For variables a test sets on top; restored with the rest.
    ScopedEnvironment& environment() { return environment_; }

  private:
    TempDir temp_;
    ScopedEnvironment environment_;
};

}  // namespace kestrel::test
