// The attribute reader against the client, and its value conversions.
#include <gtest/gtest.h>

#include <cstring>

#include "AttributeReader.h"
#include "AttributeValueText.h"
#include "RclogFixture.h"

namespace kestrel::rclog::test {
namespace {

const std::vector<std::string> kNames = {"WM:Name OS", "WM:Name Computer", "WM:Name DNS"};

class AttributeReaderTest : public RclogTest {
  protected:
    void SetUp() override {
        RclogTest::SetUp();
        login();
        ASSERT_EQ(NWCallsInit(nullptr, nullptr), 0);
        context_ = NWDSCreateContext();
        nuint32 flags = DCV_TYPELESS_NAMES;
        NWDSSetContext(context_, DCK_FLAGS, &flags);
    }
    void TearDown() override { NWDSFreeContext(context_); }

    NWDSCCODE read(const std::string& object, bool debug = false,
                   ClientCalls calls = linkedClient()) {
        calls_ = calls;
        AttributeReader reader(ui_, calls_, context_, "WVIEWNT", debug);
        return reader.read(object, kNames, values_);
    }

    NWDSContextHandle context_ = 0;
    ClientCalls calls_;
    ScriptedUi ui_;
    std::vector<std::string> values_;
};

TEST_F(AttributeReaderTest, NamesMatchWithoutRegardToCaseAndMissingOnesStayUnknown) {
    EXPECT_EQ(read("WS17.Sales.Acme"), 0);
    EXPECT_EQ(values_, (std::vector<std::string>{"WINNT", "WS17", "ws17.sales.acme.example"}));
    EXPECT_EQ(read("WS1.Sales.Acme"), 0);
    EXPECT_EQ(values_, (std::vector<std::string>{"WIN98", "Unknown", "Unknown"}));
    // The last of several values stays; an empty text is an empty value.
    EXPECT_EQ(read("WS2.Sales.Acme"), 0);
    EXPECT_EQ(values_, (std::vector<std::string>{"WINNT", "", "Unknown"}));
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(AttributeReaderTest, NetworkAddressesAreConverted) {
    EXPECT_EQ(read("NET1.Sales.Acme"), 0);
    EXPECT_EQ(values_, (std::vector<std::string>{"127.0.0.17", "00A0C9123456   ",
                                                 "Non-IPX/IP address: type # = 9 (len=2)\n"}));
}

TEST_F(AttributeReaderTest, ReadFailuresAreReportedWithTheirCode) {
    EXPECT_EQ(read("Unknown"), ERR_NO_SUCH_ENTRY);
    EXPECT_EQ(values_, (std::vector<std::string>{"Unknown", "Unknown", "Unknown"}));
    EXPECT_EQ(read("BARE.Sales.Acme"), ERR_NO_SUCH_ATTRIBUTE);
    ASSERT_EQ(ui_.messages.size(), 2U);
    EXPECT_EQ(ui_.messages[0].text, "ReadAttr: NWDSRead returned: FFFFFDA7");
    EXPECT_EQ(ui_.messages[0].caption, "WVIEWNT");
    EXPECT_EQ(ui_.messages[0].icon, Icon::Stop);
    EXPECT_EQ(ui_.messages[1].text, "ReadAttr: NWDSRead can't find specified attribute(s)");
}

// Each step of the reader names itself when it fails; the buffers are freed either way
// (the sanitizer build checks that).
TEST_F(AttributeReaderTest, EveryFailingCallHasItsMessage) {
    ClientCalls calls = linkedClient();
    calls.NWDSAllocBuf = [](size_t, pBuf_T*) -> NWDSCCODE { return ERR_NOT_ENOUGH_MEMORY; };
    EXPECT_EQ(read("WS17.Sales.Acme", false, calls), 1);
    calls = linkedClient();
    calls.NWDSAllocBuf = [](size_t size, pBuf_T* buf) -> NWDSCCODE {
        static int allocations = 0;
        return ++allocations % 2 == 0 ? ERR_NOT_ENOUGH_MEMORY : NWDSAllocBuf(size, buf);
    };
    EXPECT_EQ(read("WS17.Sales.Acme", false, calls), ERR_NOT_ENOUGH_MEMORY);
    calls = linkedClient();
    calls.NWDSInitBuf = [](NWDSContextHandle, nuint32, pBuf_T) -> NWDSCCODE { return -302; };
    EXPECT_EQ(read("WS17.Sales.Acme", false, calls), -302);
    calls = linkedClient();
    calls.NWDSPutAttrName = [](NWDSContextHandle c, pBuf_T b, const nstr8* name) -> NWDSCCODE {
        return std::strcmp(name, "WM:Name DNS") == 0 ? -304 : NWDSPutAttrName(c, b, name);
    };
    EXPECT_EQ(read("WS17.Sales.Acme", false, calls), -304);
    EXPECT_EQ(values_, (std::vector<std::string>{"Unknown", "Unknown", "Unknown"}));
    calls = linkedClient();
    calls.NWDSGetAttrCount = [](NWDSContextHandle, pBuf_T, nuint32*) -> NWDSCCODE { return -307; };
    read("WS17.Sales.Acme", false, calls);
    calls = linkedClient();
    calls.NWDSGetAttrName = [](NWDSContextHandle, pBuf_T, nstr8*, nuint32*, nuint32*) -> NWDSCCODE {
        return -307;
    };
    read("WS17.Sales.Acme", false, calls);
    calls = linkedClient();
    calls.NWDSGetAttrVal = [](NWDSContextHandle, pBuf_T, nuint32, nptr) -> NWDSCCODE {
        return -325;
    };
    read("WS17.Sales.Acme", false, calls);
    EXPECT_EQ(ui_.texts(),
              (std::vector<std::string>{"ReadAttr: NWDSAllocBuf returned: FFFFFED3",
                                        "ReadAttr: NWDSAllocBuf[2] returned: FFFFFED3",
                                        "ReadAttr: NWDSInitBuf returned: FFFFFED2",
                                        "ReadAttr: NWDSPutAttrName[2] returned: FFFFFED0",
                                        "ReadAttr: NWDSGetAttrCount returned: FFFFFECD",
                                        "ReadAttr: NWDSGetAttrName returned: FFFFFECD",
                                        "ReadAttr: NWDSGetAttrVal[0] returned: FFFFFEBB"}));
}

TEST_F(AttributeReaderTest, DebugShowsCountsAndValues) {
    EXPECT_EQ(read("WS1.Sales.Acme", true), 0);
    EXPECT_EQ(ui_.texts(),
              (std::vector<std::string>{"attrCount = 1", "valCount = 1", "aValue[0] = WIN98"}));
    EXPECT_EQ(ui_.messages[0].icon, Icon::None);
}

std::string address(nuint32 type, std::vector<unsigned char> bytes) {
    Net_Address_T value{type, static_cast<nuint32>(bytes.size()), bytes.data()};
    return netAddressText(value);
}

TEST(AttributeValueText, NetworkAddressForms) {
    EXPECT_EQ(address(NT_IPX, {1, 1, 0, 0, 0, 0xA0, 0xC9, 0x12, 0x34, 0x56, 0x40, 0x06}),
              "00A0C9123456   ");
    EXPECT_EQ(address(NT_IP, {192, 168, 1, 200}), "192.168.1.200");
    EXPECT_EQ(address(NT_IP, {}), "Unknown (0 or >12 bytes?!)");
    EXPECT_EQ(address(NT_IPX, std::vector<unsigned char>(13, 1)), "Unknown (0 or >12 bytes?!)");
    // A short address never makes the conversion read past it.
    EXPECT_EQ(address(NT_IPX, {1, 2, 3, 4, 0xAB}), "AB0000000000   ");
    EXPECT_EQ(address(NT_APPLETALK, {1, 2, 3, 4, 5, 4, 'Z', 'o', 'n', 'e', 'x'}), "1-2:304.5:Zone");
    EXPECT_EQ(address(NT_APPLETALK, {1, 2, 3, 4, 5, 200, 'Z'}), "1-2:304.5:Z");
    EXPECT_EQ(address(NT_TCP, {1, 2, 3}), "Non-IPX/IP address: type # = 9 (len=3)\n");
    const char text[] = "WINNT";
    EXPECT_EQ(attributeValueText(SYN_CI_STRING, text), "WINNT");
    const nuint32 number = 5;
    EXPECT_EQ(attributeValueText(SYN_INTEGER, &number), std::nullopt);
}

}  // namespace
}  // namespace kestrel::rclog::test
