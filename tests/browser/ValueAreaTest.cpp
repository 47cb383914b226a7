#include <gtest/gtest.h>

#include <cstring>

#include "DirectoryFixture.h"
#include "directory/TimeText.h"
#include "directory/ValueArea.h"
#include "nwnet.h"

namespace kestrel::browser {
namespace {

// An octet value laid out as the client leaves it: the structure, then its bytes.
ValueArea octets(std::uint32_t length, const std::string& bytes, std::size_t size = 0) {
    ValueArea area(size);
    auto* base = static_cast<unsigned char*>(area.data());
    Octet_String_T header{length, base + sizeof(Octet_String_T)};
    std::memcpy(base, &header, sizeof header);
    std::memcpy(header.data, bytes.data(), bytes.size());
    return area;
}

TEST(ValueArea, OctetCountIsTheSignedLowByteOfTheLength) {
    EXPECT_EQ(octets(8, "Ethernet").octetText(), "Ethernet");
    EXPECT_EQ(octets(0x103, "abcdef").octetText(), "abc");  // only the lowest byte counts
    EXPECT_EQ(octets(127, std::string(127, 'z')).octetText(), std::string(127, 'z'));
    EXPECT_EQ(octets(128, std::string(128, 'z')).octetText(), "");
    EXPECT_EQ(octets(200, std::string(200, 'z')).octetText(), "");
    EXPECT_EQ(octets(0, "").octetText(), "");
    EXPECT_EQ(octets(9, std::string("Eth\0ernet", 9)).octetText(), "Eth");
}

TEST(ValueArea, NeverReadsOutsideItself) {
    ValueArea area;
    auto* base = static_cast<unsigned char*>(area.data());
    std::memset(base, 'q', area.size());
    // A text without a terminating zero ends with the area.
    EXPECT_EQ(area.text(), std::string(area.size(), 'q'));

    // Octets that would run past the end of the area stop there.
    Octet_String_T nearEnd{127, base + area.size() - 10};
    std::memcpy(base, &nearEnd, sizeof nearEnd);
    EXPECT_EQ(area.octetText(), std::string(10, 'q'));

    // A data pointer outside the area gives nothing.
    static unsigned char elsewhere[] = "outside";
    Octet_String_T stray{7, elsewhere};
    std::memcpy(base, &stray, sizeof stray);
    EXPECT_EQ(area.octetText(), "");
}

// A network address laid out as the client leaves it: the structure, then its bytes.
ValueArea netAddress(std::uint32_t type, const std::vector<unsigned char>& bytes) {
    ValueArea area(0, SYN_NET_ADDRESS);
    auto* base = static_cast<unsigned char*>(area.data());
    Net_Address_T header{type, static_cast<std::uint32_t>(bytes.size()),
                         base + sizeof(Net_Address_T)};
    std::memcpy(base, &header, sizeof header);
    std::memcpy(header.address, bytes.data(), bytes.size());
    return area;
}

TEST(ValueArea, NetworkAddressesShowAsTheirUsualText) {
    EXPECT_EQ(netAddress(NT_IP, {192, 168, 1, 200}).shownText(), "192.168.1.200");
    EXPECT_EQ(
        netAddress(NT_IPX, {1, 1, 0, 0, 0, 0xA0, 0xC9, 0x12, 0x34, 0x56, 0x40, 0x06}).shownText(),
        "01010000:00A0C9123456:4006");
    // A TCP or UDP address (the port, then the IP address) shows as the host it names.
    EXPECT_EQ(netAddress(NT_TCP, {2, 12, 127, 1, 0, 2}).shownText(), "127.1.0.2");
    EXPECT_EQ(netAddress(NT_UDP, {0x0D, 0x80, 10, 0, 0, 9}).shownText(), "10.0.0.9");
    // Kinds and lengths without such a text show nothing rather than their raw bytes.
    EXPECT_EQ(netAddress(NT_IP, {127, 0, 0}).shownText(), "");
    EXPECT_EQ(netAddress(NT_TCP, {2, 12, 127, 1, 0}).shownText(), "");

    // Bytes outside the area are never read.
    ValueArea stray(0, SYN_NET_ADDRESS);
    static unsigned char elsewhere[] = {10, 0, 0, 1};
    Net_Address_T outside{NT_IP, 4, elsewhere};
    std::memcpy(stray.data(), &outside, sizeof outside);
    EXPECT_EQ(stray.shownText(), "");
    auto* base = static_cast<unsigned char*>(stray.data());
    Net_Address_T pastEnd{NT_IP, 4, base + stray.size() - 2};
    std::memcpy(base, &pastEnd, sizeof pastEnd);
    EXPECT_EQ(stray.shownText(), "");

    // Text values show as text.
    ValueArea text(0, SYN_CI_STRING);
    std::memcpy(text.data(), "WS17", 5);
    EXPECT_EQ(text.shownText(), "WS17");
}

// The readers' tests cover 13:05 and 00:10; noon and the day field are checked here.
TEST(TimeText, NoonStaysTwelveAndDaysAreRightAligned) {
    kestrel::test::ScopedEnvironment environment;
    environment.set("TZ", "UTC");
    EXPECT_EQ(timeText(915280200), "Sat Jan  2 12:30:00 1999\n");  // 12:30:00
    EXPECT_EQ(timeText(916011000), "Sun Jan 10 11:30:00 1999\n");  // 23:30:00
}

}  // namespace
}  // namespace kestrel::browser
