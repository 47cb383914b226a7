// No test may touch the real home, settings, desktop or Wine prefix: for the whole run every
// per-user variable points into a user of the run's own.
#include <gtest/gtest.h>

#include <optional>

#include "IsolatedUser.h"

namespace kestrel::test {
namespace {

class IsolatedHome : public ::testing::Environment {
  public:
    void SetUp() override {
        user_.emplace();
        std::filesystem::create_directory(user_->winePrefix());
    }
    void TearDown() override { user_.reset(); }

  private:
    std::optional<IsolatedUser> user_;
};

[[maybe_unused]] auto* const isolatedHome = ::testing::AddGlobalTestEnvironment(new IsolatedHome);

}  // namespace
}  // namespace kestrel::test
