#include "FakeWineServer.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace kestrel::test {

FakeWineServer::FakeWineServer(const std::filesystem::path& socketPath) {
    std::filesystem::create_directories(socketPath.parent_path());
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    EXPECT_EQ(::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << socketPath;
    EXPECT_EQ(::listen(fd_, 1), 0);
}

void FakeWineServer::stop() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

}  // namespace kestrel::test
