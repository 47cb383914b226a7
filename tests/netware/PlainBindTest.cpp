// A simple bind sends the password as it is: without TLS it goes only to a server on this
// machine, unless the configuration says PlainBind=yes.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "PlainBind.h"
#include "TestSupport.h"
#include "nwcalls.h"
#include "nwnet.h"

namespace {

TEST(PlainBind, OnlyLiteralLoopbackAddressesAreThisMachine) {
    for (const char* host :
         {"127.0.0.1", "127.1.2.3", "::1", "[::1]", "::ffff:127.0.0.9", "localhost", "LocalHost"})
        EXPECT_TRUE(nw::isLoopbackHost(host)) << host;
    for (const char* host : {"10.0.0.1", "198.18.0.1", "::2", "::ffff:10.0.0.1", "127.0.0.1.nip.io",
                             "ldap.example.com", "localhost.", "0x7f000001", ""})
        EXPECT_FALSE(nw::isLoopbackHost(host)) << host;
    EXPECT_TRUE(nw::isLoopbackUrl("ldap://127.0.0.1:3890"));
    EXPECT_TRUE(nw::isLoopbackUrl("ldap://[::1]:3890"));
    EXPECT_FALSE(nw::isLoopbackUrl("ldap://ldap.example.com:389"));
}

constexpr const char* kPassword = "pl41n-s3cret";
constexpr const char* kAddress = "198.18.0.1";  // not this machine's: only in our namespace
enum Outcome { kPassed = 0, kLeaked = 10, kNotSaid, kNotSent, kSkip = 77 };

// A listener whose connections are only looked at after the login: what arrived, if anything.
std::string takeWhatArrived(int listener) {
    int connection = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK);
    if (connection < 0) return {};
    std::string bytes;
    char chunk[4096];
    for (ssize_t got; (got = ::read(connection, chunk, sizeof chunk)) > 0;)
        bytes.append(chunk, got);
    ::close(connection);
    return bytes;
}

NWDSCCODE loginThrough(const std::filesystem::path& config) {
    ::setenv("NWCLIENT_CONFIG", config.c_str(), 1);
    NWCallsInit(nullptr, nullptr);
    NWDSContextHandle context = 0;
    NWDSCreateContextHandle(&context);
    NWDSCCODE rc = NWDSLogin(context, 0, "CN=Admin.O=Acme", kPassword, 0);
    NWDSFreeContext(context);
    return rc;
}

// In a network namespace of its own, where kAddress stands for another machine.
int bindInNamespace(const std::filesystem::path& folder) {
    if (::unshare(CLONE_NEWNET) != 0) return kSkip;
    const std::string setup =
        "ip link set lo up && ip addr add " + std::string(kAddress) + "/32 dev lo >/dev/null 2>&1";
    if (std::system(setup.c_str()) != 0) return kSkip;
    int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    ::inet_pton(AF_INET, kAddress, &address.sin_addr);
    socklen_t length = sizeof address;
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener, 4) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return kSkip;
    const std::string url =
        "ldap://" + std::string(kAddress) + ":" + std::to_string(ntohs(address.sin_port));
    for (bool allowed : {false, true}) {
        const auto config = folder / (allowed ? "plain.ini" : "refused.ini");
        kestrel::test::writeFile(config, "[Client]\nDirectory=" + url +
                                             "/dc=ACME_TREE,dc=kestrel\nDefaultTree=ACME_TREE\n"
                                             "Timeout=1\nSessionFile=session\n" +
                                             (allowed ? "PlainBind=yes\n" : ""));
        std::fflush(stderr);
        NWDSCCODE rc = loginThrough(config);
        std::fflush(stderr);
        const bool sent = takeWhatArrived(listener).find(kPassword) != std::string::npos;
        const std::string said = kestrel::test::readFile(folder / "stderr");
        if (!allowed && sent) return kLeaked;
        if (!allowed && (rc != ERR_FAILED_AUTHENTICATION ||
                         said.find("the password is not sent") == std::string::npos))
            return kNotSaid;
        // Asked for, it goes, as the listener sees: it would have seen it above.
        if (allowed && !sent) return kNotSent;
    }
    return kPassed;
}

TEST(PlainBind, NoPasswordGoesUnencryptedToAnotherMachineUnlessAllowed) {
    kestrel::test::TempDir folder;
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int said = ::open((folder / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(said, STDERR_FILENO);
        ::_exit(bindInNamespace(folder.path()));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    const std::string said = kestrel::test::readFile(folder / "stderr");
    if (WEXITSTATUS(status) == kSkip) GTEST_SKIP() << "no network namespace of our own here";
    EXPECT_NE(WEXITSTATUS(status), kLeaked) << "the password went out in clear: " << said;
    EXPECT_NE(WEXITSTATUS(status), kNotSaid) << "the refusal was not said: " << said;
    EXPECT_NE(WEXITSTATUS(status), kNotSent) << "PlainBind=yes sent nothing: " << said;
    EXPECT_NE(said.find("nwclient: ldap://198.18.0.1:"), std::string::npos) << said;
}

}  // namespace
