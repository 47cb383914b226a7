#include <arpa/inet.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "SampleBrowserFixture.h"
#include "workstation/IpPing.h"

namespace kestrel::browser::test {
namespace {

using platform::EchoRequest;
using platform::EchoResult;
using platform::EchoStatus;

// A probe that sends nothing: it notes each request and gives the scripted answer.
struct ScriptedProbe : platform::EchoProbe {
    ScriptedProbe(std::vector<EchoRequest>& requests, EchoResult result)
        : log(requests), answer(std::move(result)) {}
    EchoResult send(const EchoRequest& request) override {
        log.push_back(request);
        return answer;
    }
    std::vector<EchoRequest>& log;
    EchoResult answer;
};

std::uint32_t address(const char* text) {
    return ::inet_addr(text);
}

// Time and TTL of a "Reply from <address>: Time=<n>ms TTL=<n>" message; nullopt for any
// other text.
std::optional<std::pair<int, int>> reply(const std::string& message, const std::string& from) {
    const std::string prefix = "Reply from " + from + ": Time=";
    if (!message.starts_with(prefix)) return std::nullopt;
    int time = -1, ttl = -1, end = 0;
    if (std::sscanf(message.c_str() + prefix.size(), "%dms TTL=%d%n", &time, &ttl, &end) != 2 ||
        prefix.size() + std::size_t(end) != message.size())
        return std::nullopt;
    return std::pair{time, ttl};
}

int defaultTtl() {
    int ttl = 64;
    std::ifstream("/proc/sys/net/ipv4/ip_default_ttl") >> ttl;
    return ttl;
}

TEST(PingTarget, TheFirstDottedAddressElseTheLast) {
    using Texts = std::vector<std::string>;
    EXPECT_EQ(pingTarget(Texts{"0101A8C0:0000C0A80101", "192.168.1.1"}), "192.168.1.1");
    EXPECT_EQ(pingTarget(Texts{"a", "10.0.0.1", "10.0.0.2", "b"}), "10.0.0.1");
    EXPECT_EQ(pingTarget(Texts{"01010000:0060B084AD1F:4006", "x"}), "x");
    EXPECT_EQ(pingTarget(Texts{"no value"}), "no value");
    EXPECT_EQ(pingTarget(Texts{}), std::nullopt);
}

TEST(PingMessage, ReportsReplyTimeAndTtlOfOneRequest) {
    std::vector<EchoRequest> log;
    ScriptedProbe replying(log, {EchoStatus::Reply, 15, 128, {}, {}});
    EXPECT_EQ(pingMessage(replying, "192.168.1.1"), "Reply from 192.168.1.1: Time=15ms TTL=128");
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].address, address("192.168.1.1"));
    EXPECT_EQ(log[0].payload, "KESTRELSCOPE IP PING");
    EXPECT_EQ(log[0].payload.size(), 20u);
    EXPECT_EQ(log[0].timeout, std::chrono::milliseconds(2000));

    // A silent target, and a reply that carries no time-to-live.
    ScriptedProbe silent(log, {EchoStatus::TimedOut, -1, 0, {}, {}});
    EXPECT_EQ(pingMessage(silent, "192.168.1.1"), "Request to 192.168.1.1 timed out!");
    ScriptedProbe odd(log, {EchoStatus::Reply, 3, 0, {}, {}});
    EXPECT_EQ(pingMessage(odd, "10.1.1.1"), "Request to 10.1.1.1 timed out!");
    EXPECT_EQ(log.size(), 3u);
}

TEST(PingMessage, NothingIsSentToWhatIsNoHost) {
    std::vector<EchoRequest> log;
    ScriptedProbe probe(log, {EchoStatus::Reply, 1, 64, {}, {}});
    for (const char* text : {"no value", "255.255.255.255", "0.0.0.0", "224.0.0.1", "240.1.2.3",
                             "01010000:0060B084AD1F:4006", "", "1.2.3.4.5"})
        EXPECT_EQ(pingMessage(probe, text), "Request to " + std::string(text) + " timed out!");
    EXPECT_TRUE(log.empty());
}

TEST(PingMessage, SaysSoWhenNoEchoSocketOpens) {
    std::vector<EchoRequest> log;
    ScriptedProbe probe(log, {EchoStatus::NoSocket, -1, 0, "cannot open an ICMP socket", {}});
    EXPECT_EQ(pingMessage(probe, "127.0.0.1"),
              "Couldn't ping 127.0.0.1: cannot open an ICMP socket!");
}

TEST(PingMessage, ARealEchoToLoopbackGivesTheRealTtl) {
    std::string message = pingMessage(*platform::makeIcmpEchoProbe(), "127.0.0.1");
    if (message.starts_with("Couldn't ping")) GTEST_SKIP() << message;
    auto answer = reply(message, "127.0.0.1");
    ASSERT_TRUE(answer.has_value()) << message;
    EXPECT_GE(answer->first, 0);
    EXPECT_LT(answer->first, 2000);
    EXPECT_EQ(answer->second, defaultTtl());
}

// Loopback in a network namespace of its own that ignores echo requests: a real silent
// target. Runs in a child, which alone enters the namespace.
TEST(PingMessage, ASilentTargetTimesOutAfterTwoSeconds) {
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(report[0]);
        if (::unshare(CLONE_NEWNET) != 0) ::_exit(77);
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        ifreq lo{};
        std::strcpy(lo.ifr_name, "lo");
        if (fd < 0 || ::ioctl(fd, SIOCGIFFLAGS, &lo) != 0) ::_exit(78);
        lo.ifr_flags |= IFF_UP;
        if (::ioctl(fd, SIOCSIFFLAGS, &lo) != 0) ::_exit(78);
        std::ofstream("/proc/sys/net/ipv4/icmp_echo_ignore_all") << "1\n";
        const auto start = std::chrono::steady_clock::now();
        const std::string message = pingMessage(*platform::makeIcmpEchoProbe(), "127.0.0.1");
        const long long elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                                      std::chrono::steady_clock::now() - start)
                                      .count();
        const std::string out = std::to_string(elapsed) + " " + message;
        ::_exit(::write(report[1], out.data(), out.size()) == ssize_t(out.size()) ? 0 : 79);
    }
    ::close(report[1]);
    std::string out;
    char chunk[256];
    for (ssize_t n; (n = ::read(report[0], chunk, sizeof chunk)) > 0;) out.append(chunk, n);
    ::close(report[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "no network namespace of our own";
    ASSERT_EQ(WEXITSTATUS(status), 0) << out;
    const auto blank = out.find(' ');
    ASSERT_NE(blank, std::string::npos);
    const std::string message = out.substr(blank + 1);
    if (message.starts_with("Couldn't ping")) GTEST_SKIP() << message;
    EXPECT_EQ(message, "Request to 127.0.0.1 timed out!");
    const long long elapsed = std::stoll(out.substr(0, blank));
    EXPECT_GE(elapsed, 1990);
    EXPECT_LT(elapsed, 3000);
}

class IpPing : public SampleBrowserTest {
  protected:
    void SetUp() override {
        SampleBrowserTest::SetUp();
        logInAsDemo();
    }
    // The check on the child `name` of the top item, with a scripted probe giving `answer`.
    void ping(const std::string& name, EchoResult answer = {}) {
        controller_->setEchoProbeFactory(
            [this, answer] { return std::make_unique<ScriptedProbe>(log_, answer); });
        ASSERT_NE(selectChild(name), nullptr);
        controller_->ipPing();
    }
    std::vector<EchoRequest> log_;
};

TEST_F(IpPing, PingsTheFirstRegisteredIPv4Address) {
    openBrowser("OU=Sales.O=Acme");
    ping("WS17", {EchoStatus::Reply, 15, 128, {}, {}});
    ASSERT_EQ(log_.size(), 1u);
    EXPECT_EQ(log_[0].address, address("127.0.1.17"));
    EXPECT_EQ(ui_.messages, std::vector<std::string>{"Reply from 127.0.1.17: Time=15ms TTL=128"});
    EXPECT_EQ(ui_.waitCursorDepth, 0);
    EXPECT_GT(ui_.waitCursorUses, 0);
}

TEST_F(IpPing, AnAddressOfTheAddressSyntaxIsPingedAsDottedText) {
    openBrowser("OU=Sales.O=Acme");
    ping("WS42", {EchoStatus::Reply, 2, 64, {}, {}});
    ASSERT_EQ(log_.size(), 1u);
    EXPECT_EQ(log_[0].address, address("127.0.1.42"));
    EXPECT_EQ(ui_.messages, std::vector<std::string>{"Reply from 127.0.1.42: Time=2ms TTL=64"});
}

// A TCP or UDP address carries a port before the IP address: the ping goes to that address.
TEST_F(IpPing, AnAddressWithAPortIsPingedAtItsIPv4Address) {
    world_.useDirectory(
        kestrel::test::DirectoryBuilder::fromFile(kestrel::test::sampleDirectoryFile())
            .tree("ACME_TREE")
            .object("CN=WS-TCP.OU=Sales.O=Acme", "Workstation",
                    {{"WM:Network Address",
                      {kestrel::test::value::netAddress(NT_TCP, "020c7f010063")}}}),
        {.defaultTree = "ACME_TREE", .nameContext = "[Root]"});
    logInAsDemo();
    openBrowser("OU=Sales.O=Acme");
    ping("WS-TCP", {EchoStatus::Reply, 3, 64, {}, {}});
    ASSERT_EQ(log_.size(), 1u);
    EXPECT_EQ(log_[0].address, address("127.1.0.99"));
    EXPECT_EQ(ui_.messages, std::vector<std::string>{"Reply from 127.1.0.99: Time=3ms TTL=64"});
}

TEST_F(IpPing, NoAddressOrNoIPv4AddressSendsNothing) {
    openBrowser("OU=IT.O=Acme");
    ping("IT-SPARE");
    openBrowser("OU=Warehouse.O=Acme Logistik.L=Frankfurt.S=Hessen.C=DE");
    ping("FFM05");
    EXPECT_TRUE(log_.empty());
    EXPECT_EQ(ui_.messages,
              (std::vector<std::string>{"Request to no value timed out!",
                                        "Request to 01090000:0020AFAC7442:4006 timed out!"}));
}

TEST_F(IpPing, ARealEchoToALoopbackWorkstation) {
    openBrowser("OU=Sales.O=Acme");
    ASSERT_NE(selectChild("WS17"), nullptr);
    controller_->ipPing();
    ASSERT_EQ(ui_.messages.size(), 1u);
    if (ui_.messages[0].starts_with("Couldn't ping")) GTEST_SKIP() << ui_.messages[0];
    auto answer = reply(ui_.messages[0], "127.0.1.17");
    ASSERT_TRUE(answer.has_value()) << ui_.messages[0];
    EXPECT_EQ(answer->second, defaultTtl());
}

}  // namespace
}  // namespace kestrel::browser::test
