// Subtree searches with filters, and the directory information of an object.
#include <algorithm>

#include "ClientFixture.h"
#include "FilterTokens.h"
#include "nwnet.h"

using namespace nwtest;

namespace {

class Search : public BackendFixture {
  protected:
    void SetUp() override {
        BackendFixture::SetUp();
        if (IsSkipped()) return;
        DirectoryBuilder directory = sampleDirectory();
        directory.tree("ACME_TREE")
            .object("OU=HQ.O=Acme", "Organizational Unit")
            .object("CN=Sales1.OU=HQ.O=Acme", "Workstation",
                    {{"WM:INV Physical Memory", {kestrel::test::value::integer(128)}}});
        for (int i = 0; i < 300; ++i)
            directory.object("CN=M" + std::to_string(i) + ".OU=HQ.O=Acme", "Workstation");
        useDirectory(directory);
        ASSERT_EQ(login("ACME_TREE", "CN=Admin.O=Acme", "secret"), 0);
    }

    NWDSCCODE putFilter(int context, pBuf_T buffer, const std::vector<Token>& tokens) {
        NWDSInitBuf(context, DSV_SEARCH_FILTER, buffer);
        pFilter_Cursor_T cursor = nullptr;
        NWDSAllocFilter(&cursor);
        if (NWDSCCODE rc = addTokens(cursor, tokens); rc != 0) {
            NWDSFreeFilter(cursor, nullptr);
            return rc;
        }
        return NWDSPutFilter(context, buffer, cursor, nullptr);
    }

    // Names found below `base`, searched with replies of `replySize` bytes.
    NWDSCCODE search(const std::string& nameContext, const char* base,
                     const std::vector<Token>& filter, std::vector<std::string>* names,
                     std::size_t replySize = 4096, nint scope = DS_SEARCH_SUBTREE,
                     nint32* examined = nullptr) {
        int context = openContext("ACME_TREE", nameContext);
        pBuf_T filterBuffer = nullptr, reply = nullptr;
        NWDSAllocBuf(4096, &filterBuffer);
        NWDSAllocBuf(replySize, &reply);
        NWDSCCODE rc = putFilter(context, filterBuffer, filter);
        nint32 iteration = NO_MORE_ITERATIONS;
        while (rc == 0) {
            nint32 searched = 0;
            rc = NWDSSearch(context, base, scope, false, filterBuffer, DS_ATTRIBUTE_VALUES, false,
                            nullptr, &iteration, 0, &searched, reply);
            if (rc != 0) break;
            if (examined != nullptr) *examined += searched;
            nuint32 count = 0;
            NWDSGetObjectCount(context, reply, &count);
            for (nuint32 i = 0; i < count; ++i) {
                char name[MAX_DN_BYTES];
                nuint32 attributes = 0;
                EXPECT_EQ(NWDSGetObjectName(context, reply, name, &attributes, nullptr), 0);
                EXPECT_EQ(attributes, 0u);
                names->push_back(name);
            }
            if (iteration == NO_MORE_ITERATIONS) break;
        }
        NWDSFreeBuf(filterBuffer);
        NWDSFreeBuf(reply);
        return rc;
    }

    // The names found below `base` through large replies, which 128-byte replies must give
    // alike: a reply continues without losing or repeating an object.
    std::vector<std::string> throughSmallReplies(const char* base,
                                                 const std::vector<Token>& filter) {
        std::vector<std::string> big, small;
        EXPECT_EQ(search("[Root]", base, filter, &big, 60000), 0);
        EXPECT_EQ(search("[Root]", base, filter, &small, 128), 0);
        EXPECT_EQ(small, big);
        return big;
    }

    static std::vector<Token> classIs(const char* name) {
        return {{FTOK_ANAME, "Object Class", SYN_CLASS_NAME},
                {FTOK_EQ},
                {FTOK_AVAL, name, SYN_CLASS_NAME},
                {FTOK_END}};
    }
};

}  // namespace

TEST_P(Search, ClassFilterFindsEveryWorkstationBelowTheBaseRelativeToIt) {
    std::vector<std::string> names;
    ASSERT_EQ(search("O=Acme", ".O=Acme", classIs("Workstation"), &names), 0);
    ASSERT_EQ(names.size(), 4u + 300u);
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 4),
              (std::vector<std::string>{"CN=WS17.OU=Sales", "CN=NB1.OU=Sales", "CN=PC1.OU=Sales",
                                        "CN=Sales1.OU=HQ"}));
    names.clear();
    ASSERT_EQ(search("[Root]", ".[Root]", classIs("workstation"), &names), 0);
    EXPECT_EQ(names.size(), 5u + 300u);
    EXPECT_NE(std::find(names.begin(), names.end(), "CN=FFM1.L=Frankfurt.S=Hessen.C=DE"),
              names.end());
}

TEST_P(Search, SmallRepliesContinueWithoutLosingOrRepeating) {
    EXPECT_EQ(throughSmallReplies("OU=HQ.O=Acme", classIs("Workstation")).size(), 301u);
}

TEST_P(Search, ScopesAndCombinedFilters) {
    std::vector<std::string> names;
    ASSERT_EQ(search("O=Acme", ".O=Acme", classIs("Organizational Unit"), &names, 4096,
                     DS_SEARCH_SUBORDINATES),
              0);
    EXPECT_EQ(names, (std::vector<std::string>{"OU=Sales", "OU=Staff", "OU=HQ"}));
    names.clear();
    ASSERT_EQ(search("O=Acme", "", classIs("Organization"), &names, 4096, DS_SEARCH_ENTRY), 0);
    EXPECT_EQ(names, std::vector<std::string>{"O=Acme"});

    names.clear();
    std::vector<Token> filter = {{FTOK_LPAREN}, {FTOK_ANAME, "Object Class", SYN_CLASS_NAME},
                                 {FTOK_EQ},     {FTOK_AVAL, "User", SYN_CLASS_NAME},
                                 {FTOK_OR},     {FTOK_ANAME, "WM:INV Physical Memory", SYN_INTEGER},
                                 {FTOK_GE},     {FTOK_AVAL, nullptr, SYN_INTEGER, 100},
                                 {FTOK_RPAREN}, {FTOK_AND},
                                 {FTOK_NOT},    {FTOK_ANAME, "WM:NAME Computer", SYN_CI_STRING},
                                 {FTOK_APPROX}, {FTOK_AVAL, "ws*", SYN_CI_STRING},
                                 {FTOK_END}};
    ASSERT_EQ(search("[Root]", "O=Acme", filter, &names), 0);
    // Users and the workstations with at least 100 bytes, except the one whose computer name
    // begins with "ws".
    EXPECT_EQ(names,
              (std::vector<std::string>{"CN=Admin.O=Acme", "CN=jdoe.OU=Sales.O=Acme",
                                        "CN=asmith.OU=Staff.O=Acme", "CN=Sales1.OU=HQ.O=Acme"}));
    names.clear();
    ASSERT_EQ(search("[Root]", "O=Acme",
                     {{FTOK_PRESENT}, {FTOK_ANAME, "WM:NAME Computer"}, {FTOK_END}}, &names),
              0);
    EXPECT_EQ(names, std::vector<std::string>{"CN=WS17.OU=Sales.O=Acme"});
    // '?' is the client's to check, on the values of the attribute it names.
    names.clear();
    ASSERT_EQ(search("[Root]", "O=Acme",
                     {{FTOK_ANAME, "WM:NAME Computer", SYN_CI_STRING},
                      {FTOK_APPROX},
                      {FTOK_AVAL, "w?17", SYN_CI_STRING},
                      {FTOK_END}},
                     &names),
              0);
    EXPECT_EQ(names, std::vector<std::string>{"CN=WS17.OU=Sales.O=Acme"});
}

TEST_P(Search, MalformedFiltersAreRefusedWhenPut) {
    int context = openContext();
    pBuf_T buffer = nullptr;
    NWDSAllocBuf(4096, &buffer);
    EXPECT_EQ(putFilter(context, buffer, {{FTOK_ANAME, "Object Class", SYN_CLASS_NAME}, {FTOK_EQ}}),
              ERR_INVALID_FILTER_SYNTAX);
    EXPECT_EQ(putFilter(context, buffer, {{FTOK_LPAREN}, {FTOK_END}}), ERR_INVALID_FILTER_SYNTAX);
    EXPECT_EQ(putFilter(context, buffer, {{99}}), ERR_BAD_VERB);
    EXPECT_EQ(putFilter(context, buffer, {{FTOK_AVAL, "x", SYN_OCTET_STRING}}),
              ERR_INVALID_ATTR_SYNTAX);
    std::vector<Token> deep(200, Token{FTOK_NOT});
    deep.push_back({FTOK_PRESENT});
    deep.push_back({FTOK_ANAME, "CN"});
    deep.push_back({FTOK_END});
    EXPECT_EQ(putFilter(context, buffer, deep), ERR_INVALID_FILTER_SYNTAX);
    NWDSFreeBuf(buffer);
}

TEST_P(Search, PutFilterHandsEveryValueBackToTheCaller) {
    static int freed;
    freed = 0;
    int context = openContext();
    pBuf_T buffer = nullptr;
    NWDSAllocBuf(4096, &buffer);
    NWDSInitBuf(context, DSV_SEARCH_FILTER, buffer);
    pFilter_Cursor_T cursor = nullptr;
    NWDSAllocFilter(&cursor);
    NWDSAddFilterToken(cursor, FTOK_ANAME, const_cast<char*>("Object Class"), SYN_CLASS_NAME);
    NWDSAddFilterToken(cursor, FTOK_EQ, nullptr, 0);
    NWDSAddFilterToken(cursor, FTOK_AVAL, const_cast<char*>("User"), SYN_CLASS_NAME);
    NWDSAddFilterToken(cursor, FTOK_END, nullptr, 0);
    EXPECT_EQ(NWDSPutFilter(context, buffer, cursor, [](nuint32, nptr) { ++freed; }), 0);
    EXPECT_EQ(freed, 2);
    NWDSFreeBuf(buffer);
}

TEST_P(Search, TheDirectoryInformationGivesTheFullName) {
    int context = openContext("ACME_TREE", "O=Acme");
    nuint32 flags = DSI_DEREFERENCE_BASE_CLASS | DSI_ENTRY_DN | DSI_CREATION_TIMESTAMP |
                    DSI_MODIFICATION_TIMESTAMP | DSI_OUTPUT_FIELDS;
    ASSERT_EQ(flags, 139361u);
    ASSERT_EQ(NWDSSetContext(context, DCK_DSI_FLAGS, &flags), 0);
    char block[4096];
    ASSERT_EQ(NWDSReadObjectDSIInfo(context, ".OU=Sales.O=Acme", sizeof block, block), 0);
    char name[MAX_DN_BYTES];
    ASSERT_EQ(NWDSGetDSIInfo(context, block, sizeof block, DSI_ENTRY_DN, name), 0);
    EXPECT_STREQ(name, "OU=Sales.O=Acme");
    ASSERT_EQ(NWDSGetDSIInfo(context, block, sizeof block, DSI_DEREFERENCE_BASE_CLASS, name), 0);
    EXPECT_STREQ(name, "Organizational Unit");
    EXPECT_EQ(NWDSGetDSIInfo(context, block, sizeof block, DSI_PARENT_DN, name),
              ERR_INVALID_REQUEST);
    EXPECT_EQ(NWDSReadObjectDSIInfo(context, ".OU=Sales.O=Acme", 8, block),
              ERR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(NWDSReadObjectDSIInfo(context, ".OU=Gone.O=Acme", sizeof block, block),
              ERR_NO_SUCH_ENTRY);
}

namespace {

std::vector<Token> workstationsNamed(const char* part) {
    return {{FTOK_ANAME, "Object Class", SYN_CLASS_NAME},
            {FTOK_EQ},
            {FTOK_AVAL, "Workstation", SYN_CLASS_NAME},
            {FTOK_AND},
            {FTOK_NAME_CONTAINS},
            {FTOK_AVAL, part, SYN_CI_STRING},
            {FTOK_END}};
}

}  // namespace

TEST_P(Search, ANamePartMatchesTheReturnedNameContainersIncluded) {
    std::vector<std::string> names;
    ASSERT_EQ(search("O=Acme", ".O=Acme", workstationsNamed("Sales"), &names), 0);
    EXPECT_EQ(names, (std::vector<std::string>{"CN=WS17.OU=Sales", "CN=NB1.OU=Sales",
                                               "CN=PC1.OU=Sales", "CN=Sales1.OU=HQ"}));
    names.clear();
    ASSERT_EQ(search("O=Acme", ".O=Acme", workstationsNamed("pc"), &names), 0);
    EXPECT_TRUE(names.empty()) << "case matters";
    names.clear();
    ASSERT_EQ(search("O=Acme", ".O=Acme", workstationsNamed("*"), &names), 0);
    EXPECT_EQ(names.size(), 4u + 300u);
    // A part across components, and one naming a type: the same rule.
    names.clear();
    ASSERT_EQ(search("O=Acme", ".O=Acme", workstationsNamed("1.OU=S"), &names), 0);
    EXPECT_EQ(names, (std::vector<std::string>{"CN=NB1.OU=Sales", "CN=PC1.OU=Sales"}));
    names.clear();
    ASSERT_EQ(search("O=Acme", ".O=Acme", workstationsNamed("CN=M29"), &names), 0);
    EXPECT_EQ(names.size(), 11u);  // M29, M290...M299
    // Only the name as returned counts: above the name context nothing is matched.
    names.clear();
    ASSERT_EQ(search("O=Acme", ".O=Acme", workstationsNamed("Acme"), &names), 0);
    EXPECT_TRUE(names.empty());
}

TEST_P(Search, ANamePartContinuesThroughSmallReplies) {
    std::vector<std::string> named = throughSmallReplies("OU=HQ.O=Acme", workstationsNamed("M1"));
    EXPECT_EQ(named.size(), 111u);  // M1, M10..M19, M100..M199
    ASSERT_FALSE(named.empty());
    EXPECT_EQ(named.front(), "CN=M1.OU=HQ.O=Acme");
    // A part that names a container takes every workstation, through small replies too.
    EXPECT_EQ(throughSmallReplies("O=Acme", workstationsNamed("HQ")).size(), 301u);
}

TEST_P(Search, ANamePartLooksAtTheObjectsNamedLikeItOnly) {
    std::vector<std::string> names;
    nint32 examined = 0;
    ASSERT_EQ(search("[Root]", "OU=HQ.O=Acme", workstationsNamed("M29"), &names, 4096,
                     DS_SEARCH_SUBTREE, &examined),
              0);
    EXPECT_EQ(names.size(), 11u);
    EXPECT_EQ(examined, 11) << "not every workstation of the 301";
}

TEST_P(Search, NamePartsWithFilterCharactersCaseAndNonAsciiLetters) {
    DirectoryBuilder directory = sampleDirectory();
    directory.tree("ACME_TREE")
        .object("OU=Lab (B)*.O=Acme", "Organizational Unit")
        .object("CN=R\\D*1.OU=Lab (B)*.O=Acme", "Workstation")
        .object("CN=(x)y.OU=Staff.O=Acme", "Workstation")
        .object("CN=M\xc3\xbcller-PC.OU=Sales.O=Acme", "Workstation")
        .object("CN=M\xc3\x9cLLER-pc2.OU=Sales.O=Acme", "Workstation");
    // A server may keep objects below a workstation; the directory file refuses them.
    const bool server = backend() == Backend::Slapd;
    if (server) {
        directory.tree("ACME_TREE")
            .object("CN=Host.OU=Staff.O=Acme", "Workstation")
            .object("CN=Guest.CN=Host.OU=Staff.O=Acme", "Workstation");
    }
    useDirectory(directory);
    ASSERT_EQ(login("ACME_TREE", "CN=Admin.O=Acme", "secret"), 0);
    auto found = [&](const char* part) {
        std::vector<std::string> names;
        EXPECT_EQ(search("O=Acme", ".O=Acme", workstationsNamed(part), &names), 0) << part;
        return ordered(names);
    };
    using Names = std::vector<std::string>;
    const std::string lab = "CN=R\\\\D*1.OU=Lab (B)*";  // the backslash escaped
    EXPECT_EQ(found("(B)*"), Names{lab});
    EXPECT_EQ(found("\\D*1"), Names{lab});
    EXPECT_EQ(found("R\\\\"), Names{lab});
    EXPECT_TRUE(found("R\\D").empty()) << "the escape counts, as returned";
    EXPECT_EQ(found("(x)"), Names{"CN=(x)y.OU=Staff"});
    EXPECT_EQ(found("x)y.OU"), Names{"CN=(x)y.OU=Staff"});
    EXPECT_EQ(found("M\xc3\xbcller"), Names{"CN=M\xc3\xbcller-PC.OU=Sales"});
    EXPECT_EQ(found("LLER-pc"), Names{"CN=M\xc3\x9cLLER-pc2.OU=Sales"});
    EXPECT_EQ(found("ller-PC"), Names{"CN=M\xc3\xbcller-PC.OU=Sales"});
    EXPECT_TRUE(found("m\xc3\xbcller").empty());
    if (!server) return;
    // Below a workstation that holds others, their names hold its name.
    EXPECT_EQ(found("Host"), ordered(Names{"CN=Host.OU=Staff", "CN=Guest.CN=Host.OU=Staff"}));
    EXPECT_EQ(found("uest"), Names{"CN=Guest.CN=Host.OU=Staff"});
}

TEST_P(Search, TheClassIndexFollowsTheObjectClassAttributeAsWritten) {
    // A server keeps the classes an entry really has; only the file can write others.
    if (backend() == Backend::Slapd) GTEST_SKIP() << "the directory file's own rule";
    DirectoryBuilder directory = sampleDirectory();
    directory.tree("ACME_TREE")
        .object("CN=Odd.OU=Sales.O=Acme", "Workstation", {{"Object Class", {"Computer", "Top"}}});
    useDirectory(directory);
    ASSERT_EQ(login("ACME_TREE", "CN=Admin.O=Acme", "secret"), 0);
    std::vector<std::string> names;
    ASSERT_EQ(search("[Root]", "O=Acme", classIs("computer"), &names), 0);
    EXPECT_EQ(names, std::vector<std::string>{"CN=Odd.OU=Sales.O=Acme"});
    names.clear();
    ASSERT_EQ(search("[Root]", "OU=Sales.O=Acme", classIs("Workstation"), &names), 0);
    EXPECT_EQ(std::count(names.begin(), names.end(), "CN=Odd.OU=Sales.O=Acme"), 0);
    EXPECT_EQ(names.size(), 3u);
}

KESTREL_FOR_BOTH_BACKENDS(Search);
