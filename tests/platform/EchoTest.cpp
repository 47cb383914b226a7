#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/capability.h>
#include <net/if.h>
#include <net/route.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <sstream>

#include "platform/EchoProbe.h"
#include "platform/IPv4Address.h"

namespace kestrel::platform {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string kBrowserPayload = "KESTRELSCOPE IP PING";

std::uint32_t address(const char* dotted) {
    return ::inet_addr(dotted);
}

TEST(ParseIPv4, AcceptsTheClassicForms) {
    const std::pair<const char*, const char*> forms[] = {
        {"127.0.0.1", "127.0.0.1"},
        {"192.168.1.1", "192.168.1.1"},
        {"10.1", "10.0.0.1"},
        {"10.1.2", "10.1.0.2"},
        {"10.65535", "10.0.255.255"},
        {"1.16777215", "1.255.255.255"},
        {"2130706433", "127.0.0.1"},
        {"0x7f000001", "127.0.0.1"},
        {"0177.0.0.01", "127.0.0.1"},
        {"0X7F.0x0.0.0XfF", "127.0.0.255"},
        {"0", "0.0.0.0"},
        {"00", "0.0.0.0"},
        {"1.2.3.4 rest", "1.2.3.4"},
        {"1.2.3.4\tx", "1.2.3.4"},
        {"255.255.255.255", "255.255.255.255"},
    };
    for (const auto& [text, dotted] : forms) {
        EXPECT_EQ(parseIPv4(text), address(dotted)) << text;
    }
    EXPECT_EQ(parseIPv4(std::string_view("1.2.3.4\0junk", 12)), address("1.2.3.4"));
}

TEST(ParseIPv4, RefusesWhatInetAddrRefuses) {
    for (const char* text :
         {"", "no value", " 1.2.3.4", "1..2", "1.2.3.", ".1.2.3", "1.2.3.4.5", "256.1.1.1",
          "1.256.1.1", "1.2.3.256", "1.2.65536", "1.16777216", "4294967296", "0x100000000", "08",
          "1.09.1.1", "1.2.3.4x", "-1", "+1", "0x", "1.2.3.0x", "x1",
          // The all-ones address other than in its dotted form, as inet_addr cannot tell.
          "0xffffffff", "4294967295", "255.255.65535", "255.255.255.255 "}) {
        EXPECT_EQ(parseIPv4(text), std::nullopt) << text;
    }
}

TEST(IsHostAddress, ExcludesAddressesNoPingMayGoTo) {
    for (const char* host :
         {"127.0.0.1", "192.168.1.1", "10.1.1.5", "0.0.0.1", "223.255.255.255"}) {
        EXPECT_TRUE(isHostAddress(address(host))) << host;
    }
    for (const char* other :
         {"0.0.0.0", "255.255.255.255", "224.0.0.1", "239.255.255.250", "240.0.0.1", "254.1.2.3"}) {
        EXPECT_FALSE(isHostAddress(address(other))) << other;
    }
}

TEST(IcmpEcho, LoopbackAnswersWithThePayload) {
    auto probe = makeIcmpEchoProbe();
    for (const std::string& payload : {kBrowserPayload, std::string(), std::string(1400, '\xA5')}) {
        const EchoResult result = probe->send({address("127.0.0.1"), payload, 2000ms});
        if (result.status == EchoStatus::NoSocket) GTEST_SKIP() << result.error;
        ASSERT_EQ(result.status, EchoStatus::Reply) << result.error;
        EXPECT_GE(result.ttl, 1);
        EXPECT_LE(result.ttl, 255);
        EXPECT_GE(result.roundTripMs, 0);
        EXPECT_LT(result.roundTripMs, 2000);
        EXPECT_EQ(result.replyData, payload);
        EXPECT_EQ(result.error, "");
    }
}

TEST(IcmpEcho, TimeOutsOutOfRange) {
    auto probe = makeIcmpEchoProbe();
    const EchoResult longest =
        probe->send({address("127.0.0.1"), kBrowserPayload, std::chrono::milliseconds::max()});
    if (longest.status == EchoStatus::NoSocket) GTEST_SKIP() << longest.error;
    EXPECT_EQ(longest.status, EchoStatus::Reply);
    // No time at all: the request goes out, but nobody waits for the answer.
    const EchoResult none = probe->send({address("127.0.0.1"), kBrowserPayload, -5ms});
    EXPECT_EQ(none.status, EchoStatus::TimedOut);
    EXPECT_EQ(none.roundTripMs, -1);
}

TEST(IcmpEcho, NothingIsSentToNonHostAddresses) {
    auto probe = makeIcmpEchoProbe();
    const std::uint32_t noValue = parseIPv4("no value").value_or(INADDR_NONE);
    for (const std::uint32_t target :
         {address("255.255.255.255"), address("0.0.0.0"), noValue, address("224.0.0.1")}) {
        const Clock::time_point start = Clock::now();
        const EchoResult result = probe->send({target, kBrowserPayload, 2000ms});
        EXPECT_EQ(result.status, EchoStatus::NotSent);
        EXPECT_EQ(result.roundTripMs, -1);
        EXPECT_EQ(result.ttl, 0);
        EXPECT_FALSE(result.error.empty());
        EXPECT_LT(Clock::now() - start, 500ms);
    }
    const EchoResult huge = probe->send({address("127.0.0.1"), std::string(70000, 'x'), 100ms});
    EXPECT_EQ(huge.status, EchoStatus::NotSent);
}

// --- In a network namespace of our own -----------------------------------------------------

struct Outcome {
    std::string skipped;  // why the namespace could not be set up
    EchoResult result;
    long elapsedMs = 0;
};

bool bringLoopbackUp() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq request{};
    std::strcpy(request.ifr_name, "lo");
    const bool up = fd >= 0 && ::ioctl(fd, SIOCGIFFLAGS, &request) == 0 &&
                    (request.ifr_flags |= IFF_UP, ::ioctl(fd, SIOCSIFFLAGS, &request) == 0);
    if (fd >= 0) ::close(fd);
    return up;
}

// A route for 192.0.2.0/24 out of the loopback device: packets leave and are dropped on the
// way back in, so nothing answers.
bool routeIntoTheVoid() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    rtentry route{};
    auto* dst = reinterpret_cast<sockaddr_in*>(&route.rt_dst);
    auto* mask = reinterpret_cast<sockaddr_in*>(&route.rt_genmask);
    dst->sin_family = mask->sin_family = AF_INET;
    dst->sin_addr.s_addr = address("192.0.2.0");
    mask->sin_addr.s_addr = address("255.255.255.0");
    char device[] = "lo";
    route.rt_dev = device;
    route.rt_flags = RTF_UP;
    const bool added = fd >= 0 && ::ioctl(fd, SIOCADDRT, &route) == 0;
    if (fd >= 0) ::close(fd);
    return added;
}

bool writeSysctl(const char* file, const char* value) {
    const int fd = ::open(file, O_WRONLY | O_CLOEXEC);
    const bool written = fd >= 0 && ::write(fd, value, std::strlen(value)) > 0;
    if (fd >= 0) ::close(fd);
    return written;
}

bool dropRawSocketCapability() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0) return false;
    data[CAP_NET_RAW / 32].effective &= ~(1u << (CAP_NET_RAW % 32));
    data[CAP_NET_RAW / 32].permitted &= ~(1u << (CAP_NET_RAW % 32));
    return ::syscall(SYS_capset, &header, data) == 0;
}

std::string serialise(const Outcome& o) {
    std::ostringstream out;
    out << o.skipped.size() << ' ' << o.skipped << static_cast<int>(o.result.status) << ' '
        << o.result.roundTripMs << ' ' << o.result.ttl << ' ' << o.elapsedMs << ' '
        << o.result.replyData.size() << ' ' << o.result.replyData << o.result.error;
    return out.str();
}

Outcome deserialise(const std::string& text) {
    std::istringstream in(text);
    Outcome o;
    std::size_t size = 0;
    int status = 0;
    in >> size;
    in.get();
    o.skipped.resize(size);
    in.read(o.skipped.data(), static_cast<std::streamsize>(size));
    in >> status >> o.result.roundTripMs >> o.result.ttl >> o.elapsedMs >> size;
    o.result.status = static_cast<EchoStatus>(status);
    in.get();
    o.result.replyData.resize(size);
    in.read(o.result.replyData.data(), static_cast<std::streamsize>(size));
    std::getline(in, o.result.error, '\0');
    return o;
}

// Sends `request` from a forked child inside a fresh network namespace with its loopback up,
// after `prepare` has set the namespace up (false: cannot, the test is skipped).
Outcome echoInNamespace(const EchoRequest& request, const std::function<bool()>& prepare) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return {"pipe failed", {}, 0};
    const pid_t child = ::fork();
    if (child == 0) {
        Outcome o;
        if (::unshare(CLONE_NEWNET) != 0) {
            o.skipped = std::string("no network namespace: ") + std::strerror(errno);
        } else if (!bringLoopbackUp() || !prepare()) {
            o.skipped = std::string("cannot set up the namespace: ") + std::strerror(errno);
        } else {
            const Clock::time_point start = Clock::now();
            o.result = makeIcmpEchoProbe()->send(request);
            o.elapsedMs = static_cast<long>(
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start)
                    .count());
        }
        const std::string text = serialise(o);
        [[maybe_unused]] const auto n = ::write(pipeFds[1], text.data(), text.size());
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string text;
    char chunk[4096];
    pollfd entry{pipeFds[0], POLLIN, 0};
    while (::poll(&entry, 1, 20000) > 0) {
        const ssize_t n = ::read(pipeFds[0], chunk, sizeof chunk);
        if (n <= 0) break;
        text.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(pipeFds[0]);
    ::kill(child, SIGKILL);  // only matters if it hangs
    ::waitpid(child, nullptr, 0);
    if (text.empty()) return {"the child gave no answer", {}, 0};
    return deserialise(text);
}

TEST(IcmpEchoInNamespace, SilentTargetTimesOutAfterTheTimeout) {
    const Outcome o =
        echoInNamespace({address("192.0.2.1"), kBrowserPayload, 400ms}, routeIntoTheVoid);
    if (!o.skipped.empty()) GTEST_SKIP() << o.skipped;
    if (o.result.status == EchoStatus::NoSocket) GTEST_SKIP() << o.result.error;
    EXPECT_EQ(o.result.status, EchoStatus::TimedOut) << o.result.error;
    EXPECT_EQ(o.result.roundTripMs, -1);
    EXPECT_EQ(o.result.ttl, 0);
    EXPECT_GE(o.elapsedMs, 400);
    EXPECT_LT(o.elapsedMs, 1400);
}

TEST(IcmpEchoInNamespace, PingSocketWithoutRawCapability) {
    const Outcome o = echoInNamespace({address("127.0.0.1"), kBrowserPayload, 2000ms}, [] {
        return writeSysctl("/proc/sys/net/ipv4/ping_group_range", "0 0") &&
               dropRawSocketCapability();
    });
    if (!o.skipped.empty()) GTEST_SKIP() << o.skipped;
    ASSERT_EQ(o.result.status, EchoStatus::Reply) << o.result.error;
    EXPECT_EQ(o.result.ttl, 64);  // the namespace's default TTL
    EXPECT_GE(o.result.roundTripMs, 0);
    EXPECT_EQ(o.result.replyData, kBrowserPayload);
}

TEST(IcmpEchoInNamespace, NoSocketWhenNeitherKindMayBeOpened) {
    // A new namespace refuses ping sockets to every group.
    const Outcome o =
        echoInNamespace({address("127.0.0.1"), kBrowserPayload, 500ms}, dropRawSocketCapability);
    if (!o.skipped.empty()) GTEST_SKIP() << o.skipped;
    EXPECT_EQ(o.result.status, EchoStatus::NoSocket);
    EXPECT_NE(o.result.error.find("ping socket"), std::string::npos) << o.result.error;
    EXPECT_NE(o.result.error.find("raw socket"), std::string::npos) << o.result.error;
    EXPECT_LT(o.elapsedMs, 500);
}

}  // namespace
}  // namespace kestrel::platform
