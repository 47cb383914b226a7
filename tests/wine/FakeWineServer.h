#pragma once

#include <filesystem>

namespace kestrel::test {

// A listening socket standing in for a wineserver at `socketPath` (its folders are made);
// stopped, it is the socket a dead server leaves behind.
class FakeWineServer {
  public:
    explicit FakeWineServer(const std::filesystem::path& socketPath);
    ~FakeWineServer() { stop(); }
    FakeWineServer(const FakeWineServer&) = delete;
    FakeWineServer& operator=(const FakeWineServer&) = delete;
    void stop();

  private:
    int fd_ = -1;
};

}  // namespace kestrel::test
