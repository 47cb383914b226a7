// Listing and reading through reply buffers of limited size.
#include <cstring>

#include "ClientFixture.h"
#include "nwnet.h"

using namespace nwtest;
using kestrel::test::Json;

namespace {

struct Entry {
    std::string name;
    std::string baseClass;
    auto operator<=>(const Entry&) const = default;
};

void PrintTo(const Entry& entry, std::ostream* out) {
    *out << entry.name << " (" << entry.baseClass << ")";
}

class ListRead : public BackendFixture {
  protected:
    void SetUp() override {
        BackendFixture::SetUp();
        if (IsSkipped()) return;
        DirectoryBuilder directory = sampleDirectory();
        directory.tree("ACME_TREE").object("OU=Big.O=Acme", "Organizational Unit");
        for (int i = 0; i < 1000; ++i)
            directory.object("CN=B" + std::to_string(999 - i) + ".OU=Big.O=Acme", "Workstation");
        Json history = Json::array();
        for (int i = 0; i < 40; ++i) history.push_back("CN=user" + std::to_string(i) + ".O=Acme");
        directory.object("CN=Busy.OU=Sales.O=Acme", "Workstation", {{"WM:User History", history}});
        useDirectory(directory);
        ASSERT_EQ(login("ACME_TREE", "CN=Admin.O=Acme", "secret"), 0);
    }

    // Every entry of a listing and the number of replies it took.
    NWDSCCODE list(int context, const char* container, std::size_t bufferSize,
                   std::vector<Entry>* entries, int* replies = nullptr) {
        pBuf_T buffer = nullptr;
        EXPECT_EQ(NWDSAllocBuf(bufferSize, &buffer), 0);
        nint32 iteration = NO_MORE_ITERATIONS;
        NWDSCCODE rc = 0;
        int calls = 0;
        do {
            if ((rc = NWDSList(context, container, &iteration, buffer)) != 0) break;
            ++calls;
            nuint32 count = 0;
            EXPECT_EQ(NWDSGetObjectCount(context, buffer, &count), 0);
            for (nuint32 i = 0; i < count; ++i) {
                char name[MAX_DN_BYTES];
                Object_Info_T info{};
                EXPECT_EQ(NWDSGetObjectName(context, buffer, name, nullptr, &info), 0);
                entries->push_back({name, info.baseClass});
            }
            char extra[MAX_DN_BYTES];
            EXPECT_EQ(NWDSGetObjectName(context, buffer, extra, nullptr, nullptr),
                      ERR_BUFFER_EMPTY);
        } while (iteration != NO_MORE_ITERATIONS);
        NWDSFreeBuf(buffer);
        if (replies) *replies = calls;
        return rc;
    }

    // Values of one attribute, each as text, read through a reply of the given size.
    NWDSCCODE read(int context, const char* object, const char* attribute, std::size_t replySize,
                   std::vector<std::string>* values, nuint32* syntax = nullptr) {
        pBuf_T request = nullptr, reply = nullptr;
        NWDSAllocBuf(4096, &request);
        NWDSAllocBuf(replySize, &reply);
        NWDSInitBuf(context, DSV_READ, request);
        NWDSPutAttrName(context, request, attribute);
        nint32 iteration = NO_MORE_ITERATIONS;
        NWDSCCODE rc = 0;
        do {
            if ((rc = NWDSRead(context, object, DS_ATTRIBUTE_VALUES, false, request, &iteration,
                               reply)) != 0)
                break;
            nuint32 attributes = 0;
            NWDSGetAttrCount(context, reply, &attributes);
            for (nuint32 a = 0; a < attributes; ++a) {
                char name[MAX_SCHEMA_NAME_BYTES];
                nuint32 count = 0, valueSyntax = 0;
                EXPECT_EQ(NWDSGetAttrName(context, reply, name, &count, &valueSyntax), 0);
                if (syntax) *syntax = valueSyntax;
                for (nuint32 v = 0; v < count; ++v) {
                    nuint32 size = 0;
                    EXPECT_EQ(NWDSComputeAttrValSize(context, reply, valueSyntax, &size), 0);
                    std::vector<std::uint64_t> area(size / 8 + 1);
                    EXPECT_EQ(NWDSGetAttrVal(context, reply, valueSyntax, area.data()), 0);
                    values->push_back(render(valueSyntax, area.data(), size));
                }
            }
        } while (iteration != NO_MORE_ITERATIONS);
        NWDSFreeBuf(request);
        NWDSFreeBuf(reply);
        return rc;
    }

    static std::string render(nuint32 syntax, const void* area, nuint32 size) {
        if (syntax == SYN_INTEGER || syntax == SYN_TIME) {
            nuint32 n = 0;
            std::memcpy(&n, area, 4);
            return std::to_string(n);
        }
        if (syntax == SYN_OCTET_STRING) {
            const auto* octets = static_cast<const Octet_String_T*>(area);
            EXPECT_EQ(size, sizeof(Octet_String_T) + octets->length);
            return std::string(reinterpret_cast<const char*>(octets->data), octets->length);
        }
        if (syntax == SYN_NET_ADDRESS) {
            const auto* address = static_cast<const Net_Address_T*>(area);
            return std::to_string(address->addressType) + ":" +
                   std::string(reinterpret_cast<const char*>(address->address),
                               address->addressLength);
        }
        EXPECT_EQ(size, std::strlen(static_cast<const char*>(area)) + 1);
        return static_cast<const char*>(area);
    }
};

}  // namespace

TEST_P(ListRead, AListingOfTheNameContextGivesTheChildrenInDirectoryOrder) {
    std::vector<Entry> entries;
    ASSERT_EQ(list(openContext("ACME_TREE", "OU=Sales.O=Acme"), "", 4096, &entries), 0);
    EXPECT_EQ(ordered(entries), ordered(std::vector<Entry>{{"CN=WS17", "Workstation"},
                                                           {"CN=NB1", "Workstation"},
                                                           {"CN=PC1", "Workstation"},
                                                           {"CN=jdoe", "User"},
                                                           {"CN=Everyone", "Group"},
                                                           {"CN=Busy", "Workstation"}}));
    entries.clear();
    ASSERT_EQ(list(openContext("ACME_TREE", "[Root]"), "", 4096, &entries), 0);
    EXPECT_EQ(ordered(entries),
              ordered(std::vector<Entry>{{"O=Acme", "Organization"}, {"C=DE", "Country"}}));
}

TEST_P(ListRead, NamesBelowTheNameContextAreRelativeOthersFull) {
    std::vector<Entry> entries;
    // A trailing full stop climbs above O=Acme to the root.
    ASSERT_EQ(
        list(openContext("ACME_TREE", "O=Acme"), "L=Frankfurt.S=Hessen.C=DE.", 4096, &entries), 0);
    EXPECT_EQ(entries, (std::vector<Entry>{{"CN=FFM1.L=Frankfurt.S=Hessen.C=DE", "Workstation"}}));
    entries.clear();
    ASSERT_EQ(list(openContext("ACME_TREE", "O=Acme"), ".S=Hessen.C=DE", 4096, &entries), 0);
    EXPECT_EQ(entries, (std::vector<Entry>{{"L=Frankfurt.S=Hessen.C=DE", "Locality"}}));
    entries.clear();
    ASSERT_EQ(list(openContext("ACME_TREE", "O=Acme"), "OU=Staff", 4096, &entries), 0);
    EXPECT_EQ(ordered(entries), ordered(std::vector<Entry>{{"CN=asmith.OU=Staff", "User"},
                                                           {"CN=Staff.OU=Staff", "Group"}}));

    int typeless = openContext("ACME_TREE", "O=Acme");
    nuint32 flags = DCV_TYPELESS_NAMES | DCV_CANONICALIZE_NAMES;
    NWDSSetContext(typeless, DCK_FLAGS, &flags);
    entries.clear();
    ASSERT_EQ(list(typeless, "OU=Staff", 4096, &entries), 0);
    EXPECT_EQ(ordered(entries),
              ordered(std::vector<Entry>{{"asmith.Staff", "User"}, {"Staff.Staff", "Group"}}));
}

TEST_P(ListRead, ALargeContainerTakesSeveralRepliesAndLosesNothing) {
    std::vector<Entry> entries;
    int replies = 0;
    ASSERT_EQ(list(openContext("ACME_TREE", "OU=Big.O=Acme"), "", 4096, &entries, &replies), 0);
    ASSERT_EQ(entries.size(), 1000u);
    EXPECT_GT(replies, 5);
    std::vector<Entry> expected;
    for (int i = 0; i < 1000; ++i)
        expected.push_back({"CN=B" + std::to_string(999 - i), "Workstation"});
    EXPECT_EQ(ordered(entries), ordered(expected));
    // An entry that cannot fit an empty reply is an error, not an endless loop.
    entries.clear();
    EXPECT_EQ(list(openContext("ACME_TREE", "OU=Big.O=Acme"), "", 16, &entries),
              ERR_INSUFFICIENT_BUFFER);
}

TEST_P(ListRead, ListingsTakenInTurnsLoseNothing) {
    // A browser opens a second container while the first is still coming: a directory server
    // keeps one paged listing per connection, and the first must still come whole.
    const int context = openContext("ACME_TREE", "OU=Big.O=Acme");
    pBuf_T buffer = nullptr;
    ASSERT_EQ(NWDSAllocBuf(4096, &buffer), 0);
    std::vector<Entry> first;
    const auto takeReply = [&] {
        nuint32 count = 0;
        NWDSGetObjectCount(context, buffer, &count);
        for (nuint32 i = 0; i < count; ++i) {
            char name[MAX_DN_BYTES];
            Object_Info_T info{};
            EXPECT_EQ(NWDSGetObjectName(context, buffer, name, nullptr, &info), 0);
            first.push_back({name, info.baseClass});
        }
    };
    nint32 iteration = NO_MORE_ITERATIONS;
    ASSERT_EQ(NWDSList(context, "", &iteration, buffer), 0);
    takeReply();
    ASSERT_NE(iteration, NO_MORE_ITERATIONS);
    std::vector<Entry> between;
    ASSERT_EQ(list(openContext(), "OU=Sales.O=Acme", 4096, &between), 0);
    EXPECT_FALSE(between.empty());
    while (iteration != NO_MORE_ITERATIONS) {
        ASSERT_EQ(NWDSList(context, "", &iteration, buffer), 0);
        takeReply();
    }
    NWDSFreeBuf(buffer);
    std::vector<Entry> expected;
    for (int i = 0; i < 1000; ++i)
        expected.push_back({"CN=B" + std::to_string(999 - i), "Workstation"});
    EXPECT_EQ(ordered(first), ordered(expected));
}

TEST_P(ListRead, ListingNeedsALoginAndAnExistingContainer) {
    std::vector<Entry> entries;
    EXPECT_EQ(list(openContext("ACME_TREE"), "OU=Nowhere.O=Acme", 4096, &entries),
              ERR_NO_SUCH_ENTRY);
    EXPECT_EQ(list(openContext("OTHER_TREE"), "O=Other", 4096, &entries), ERR_NO_ACCESS);
    EXPECT_EQ(list(openContext("NO_TREE"), "O=Other", 4096, &entries), ERR_NO_CONNECTION);
    EXPECT_EQ(list(openContext("ACME_TREE"), "CN=WS17.OU=Sales.O=Acme", 4096, &entries), 0);
    EXPECT_TRUE(entries.empty());
}

TEST_P(ListRead, EachSyntaxReadsIntoItsValueStructure) {
    int context = openContext("ACME_TREE", "OU=Sales.O=Acme");
    std::vector<std::string> values;
    nuint32 syntax = 0;
    ASSERT_EQ(read(context, "CN=WS17", "wm:network address", 256, &values, &syntax), 0);
    EXPECT_EQ(values, (std::vector<std::string>{"01010000:00A0C9123456:4006", "127.0.0.17"}));
    EXPECT_EQ(syntax, static_cast<nuint32>(SYN_CI_STRING));

    struct Case {
        const char* attribute;
        nuint32 syntax;
        std::string value;
    };
    for (const auto& c :
         {Case{"WM:Last Registered Time", SYN_TIME, "915239109"},
          Case{"WM:INV Physical Memory", SYN_INTEGER, "67108864"},
          Case{"ZEN:INV NIC Type", SYN_OCTET_STRING, "Ether!"},
          Case{"Network Address", SYN_NET_ADDRESS, std::string("1:\x7f\0\0\x11", 6)},
          Case{"Workstation Class", SYN_CLASS_NAME, "Workstation"}}) {
        values.clear();
        ASSERT_EQ(read(context, "CN=WS17", c.attribute, 256, &values, &syntax), 0) << c.attribute;
        EXPECT_EQ(syntax, c.syntax) << c.attribute;
        EXPECT_EQ(values, std::vector<std::string>{c.value}) << c.attribute;
    }
}

TEST_P(ListRead, AbsentAttributesAndObjects) {
    int context = openContext("ACME_TREE", "OU=Sales.O=Acme");
    std::vector<std::string> values;
    EXPECT_EQ(read(context, "CN=NB1", "WM:NAME Computer", 256, &values), ERR_NO_SUCH_ATTRIBUTE);
    EXPECT_EQ(read(context, "CN=Gone", "WM:NAME Computer", 256, &values), ERR_NO_SUCH_ENTRY);
    EXPECT_EQ(read(context, "CN=WS17..", "WM:NAME Computer", 256, &values), ERR_NO_SUCH_ENTRY);
    // The workstation read as its own name context.
    int own = openContext("ACME_TREE", "CN=WS17.OU=Sales.O=Acme");
    ASSERT_EQ(read(own, "", "WM:NAME Computer", 256, &values), 0);
    EXPECT_EQ(values, std::vector<std::string>{"WS17"});
}

TEST_P(ListRead, ManyValuesContinueInTheNextSmallReply) {
    std::vector<std::string> values;
    ASSERT_EQ(
        read(openContext("ACME_TREE"), "CN=Busy.OU=Sales.O=Acme", "WM:User History", 256, &values),
        0);
    ASSERT_EQ(values.size(), 40u);
    for (int i = 0; i < 40; ++i) EXPECT_EQ(values[i], "CN=user" + std::to_string(i) + ".O=Acme");
}

TEST_P(ListRead, AllAttributesOrOnlyTheirNames) {
    int context = openContext("ACME_TREE", "OU=Sales.O=Acme");
    pBuf_T reply = nullptr;
    NWDSAllocBuf(4096, &reply);
    nint32 iteration = NO_MORE_ITERATIONS;
    ASSERT_EQ(NWDSRead(context, "CN=WS17", DS_ATTRIBUTE_NAMES, true, nullptr, &iteration, reply),
              0);
    EXPECT_EQ(iteration, NO_MORE_ITERATIONS);
    nuint32 count = 0;
    NWDSGetAttrCount(context, reply, &count);
    std::vector<std::string> names;
    for (nuint32 i = 0; i < count; ++i) {
        char name[MAX_SCHEMA_NAME_BYTES];
        nuint32 values = 99, syntax = 0;
        ASSERT_EQ(NWDSGetAttrName(context, reply, name, &values, &syntax), 0);
        EXPECT_EQ(values, 0u);
        names.push_back(name);
    }
    EXPECT_EQ(names.size(), 8u);
    EXPECT_EQ(names.front(), "Object Class");
    nuint32 size = 0;
    EXPECT_EQ(NWDSComputeAttrValSize(context, reply, SYN_CI_STRING, &size), ERR_BUFFER_EMPTY);
    NWDSFreeBuf(reply);
}

TEST_P(ListRead, BuffersAreCheckedBeforeUse) {
    int context = openContext();
    pBuf_T buffer = nullptr;
    EXPECT_EQ(NWDSAllocBuf(0, &buffer), ERR_BUFFER_ZERO_LENGTH);
    Buf_T foreign{};
    nint32 iteration = NO_MORE_ITERATIONS;
    EXPECT_EQ(NWDSList(context, "O=Acme", &iteration, &foreign), ERR_NULL_POINTER);
    EXPECT_EQ(NWDSFreeBuf(&foreign), ERR_NULL_POINTER);
    ASSERT_EQ(NWDSAllocBuf(4096, &buffer), 0);
    nuint32 count = 0;
    EXPECT_EQ(NWDSGetObjectCount(context, buffer, &count), ERR_BAD_VERB);
    EXPECT_EQ(NWDSPutAttrName(context, buffer, "X"), ERR_BAD_VERB);
    iteration = 12345;
    EXPECT_EQ(NWDSList(context, "O=Acme", &iteration, buffer), ERR_INVALID_ITERATION);
    // A reply read with the wrong syntax is refused instead of misread.
    iteration = NO_MORE_ITERATIONS;
    ASSERT_EQ(NWDSRead(context, "CN=WS17.OU=Sales.O=Acme", DS_ATTRIBUTE_VALUES, true, nullptr,
                       &iteration, buffer),
              0);
    char name[MAX_SCHEMA_NAME_BYTES];
    nuint32 values = 0, syntax = 0;
    ASSERT_EQ(NWDSGetAttrName(context, buffer, name, &values, &syntax), 0);
    nuint32 number = 0;
    EXPECT_EQ(NWDSGetAttrVal(context, buffer, SYN_INTEGER, &number), ERR_INVALID_ATTR_SYNTAX);
    EXPECT_EQ(NWDSFreeBuf(buffer), 0);
    EXPECT_EQ(NWDSFreeBuf(buffer), ERR_NULL_POINTER);
}

KESTREL_FOR_BOTH_BACKENDS(ListRead);
