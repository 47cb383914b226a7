// Configuration states of the client, context keys, locale and path parsing.
#include <fcntl.h>
#include <unistd.h>

#include <fstream>

#include "ClientFixture.h"
#include "nwcalls.h"
#include "nwclxcon.h"
#include "nwlocale.h"
#include "nwnet.h"

using namespace nwtest;

namespace {

// Captures what the client writes to standard error during `body`.
template <class Body>
std::string stderrOf(Body body) {
    char path[] = "/tmp/nwclient-stderr-XXXXXX";
    int file = mkstemp(path);
    int saved = dup(STDERR_FILENO);
    fflush(stderr);
    dup2(file, STDERR_FILENO);
    body();
    fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    close(file);
    std::ifstream in(path);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    unlink(path);
    return text;
}

using ClientSetup = ClientFixture;

}  // namespace

TEST_F(ClientSetup, WithoutConfigurationTheWorkstationIsSimplyNotLoggedIn) {
    EXPECT_EQ(NWCallsInit(nullptr, nullptr), 0);
    EXPECT_EQ(NWIsDSAuthenticated(), 0);
    nuint32 ref = 0;
    EXPECT_NE(NWCCGetPrimConnRef(&ref), 0);
    int context = openContext("ACME_TREE");
    EXPECT_EQ(NWDSLogin(context, 0, "CN=Admin.O=Acme", "secret", 0), ERR_NO_CONNECTION);
    nint32 iteration = NO_MORE_ITERATIONS;
    pBuf_T buffer = nullptr;
    NWDSAllocBuf(4096, &buffer);
    EXPECT_EQ(NWDSList(context, "O=Acme", &iteration, buffer), ERR_NO_CONNECTION);
    NWDSFreeBuf(buffer);
}

TEST_F(ClientSetup, ABrokenDirectoryFileIsReportedWithItsPosition) {
    std::string message =
        stderrOf([&] { useDirectoryText("{\"trees\": [\n  {\"name\": \"T\",,}\n]}"); });
    EXPECT_NE(message.find((root() / "directory.json").string() + ":2:"), std::string::npos)
        << message;
    EXPECT_NE(NWCallsInit(nullptr, nullptr), 0);
    EXPECT_EQ(NWIsDSAuthenticated(), 0);
    // Reported once, not on every call.
    EXPECT_EQ(stderrOf([] { NWCallsInit(nullptr, nullptr); }), "");

    std::string missing = stderrOf([&] {
        std::ofstream(root() / "nwclient.ini") << "[Client]\r\nDirectory=gone.json\r\n";
        reinitialize();
    });
    EXPECT_NE(missing.find("gone.json"), std::string::npos) << missing;
}

TEST_F(ClientSetup, ContextKeysKeepWhatIsSet) {
    useDirectory(sampleDirectory(), {.defaultTree = "OTHER_TREE", .nameContext = "O=Other"});
    NWDSContextHandle context = NWDSCreateContext();
    ASSERT_GT(context, 0);
    char text[MAX_DN_BYTES];
    ASSERT_EQ(NWDSGetContext(context, DCK_TREE_NAME, text), 0);
    EXPECT_STREQ(text, "OTHER_TREE");
    ASSERT_EQ(NWDSGetContext(context, DCK_NAME_CONTEXT, text), 0);
    EXPECT_STREQ(text, "O=Other");
    nuint32 flags = 0;
    ASSERT_EQ(NWDSGetContext(context, DCK_FLAGS, &flags), 0);
    EXPECT_EQ(flags,
              static_cast<nuint32>(DCV_DEREF_ALIASES | DCV_XLATE_STRINGS | DCV_CANONICALIZE_NAMES));

    EXPECT_EQ(NWDSSetContext(context, DCK_NAME_CONTEXT, "Sales.Acme"), 0);
    NWDSGetContext(context, DCK_NAME_CONTEXT, text);
    EXPECT_STREQ(text, "OU=Sales.O=Acme");
    EXPECT_EQ(NWDSSetContext(context, DCK_NAME_CONTEXT, "OU=a..O=b"), ERR_INVALID_DS_NAME);
    EXPECT_EQ(NWDSSetContext(context, DCK_NAME_CONTEXT, std::string(300, 'x').c_str()),
              ERR_DN_TOO_LONG);
    EXPECT_EQ(NWDSSetContext(context, DCK_TREE_NAME, std::string(33, 'T').c_str()),
              ERR_INVALID_DS_NAME);
    EXPECT_EQ(NWDSSetContext(context, 77, &flags), ERR_BAD_KEY);
    EXPECT_EQ(NWDSGetContext(context, 77, &flags), ERR_BAD_KEY);

    NWDSContextHandle copy = 0;
    ASSERT_EQ(NWDSDuplicateContextHandle(context, &copy), 0);
    NWDSGetContext(copy, DCK_NAME_CONTEXT, text);
    EXPECT_STREQ(text, "OU=Sales.O=Acme");
    EXPECT_EQ(NWDSFreeContext(context), 0);
    EXPECT_EQ(NWDSFreeContext(context), ERR_BAD_CONTEXT);
    EXPECT_EQ(NWDSGetContext(context, DCK_FLAGS, &flags), ERR_BAD_CONTEXT);
    EXPECT_EQ(NWDSFreeContext(copy), 0);
}

TEST(Locale, CountryAndCodePageFollowTheLocale) {
    LCONV conv{};
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    ASSERT_EQ(NWLlocaleconv(&conv), &conv);
    EXPECT_EQ(conv.country_id, 49);
    EXPECT_EQ(conv.code_page, 65001);
    EXPECT_STREQ(conv.decimal_point, ",");
    setenv("LC_ALL", "C", 1);
    NWLlocaleconv(&conv);
    EXPECT_EQ(conv.country_id, 1);
    EXPECT_EQ(conv.code_page, 437);
    setenv("LC_ALL", "en_GB.ISO-8859-1", 1);
    NWLlocaleconv(&conv);
    EXPECT_EQ(conv.country_id, 44);
    EXPECT_EQ(conv.code_page, 1252);
    unsetenv("LC_ALL");
    EXPECT_EQ(NWInitUnicodeTables(49, 65001), 0);
    EXPECT_EQ(NWInitUnicodeTables(49, 999), ERR_UNICODE_FILE_NOT_FOUND);
    EXPECT_EQ(NWFreeUnicodeTables(), 0);
}

TEST(ParsePath, ServerVolumeAndDirectory) {
    char server[NW_MAX_SERVER_NAME_LEN], volume[NW_MAX_VOLUME_NAME_LEN], path[NW_MAX_PATH_LEN];
    NWCONN_HANDLE conn = 99;
    ASSERT_EQ(NWParsePath("FS1/SYS:PUBLIC\\WIN", server, &conn, volume, path), 0);
    EXPECT_STREQ(server, "FS1");
    EXPECT_STREQ(volume, "SYS");
    EXPECT_STREQ(path, "PUBLIC\\WIN");
    EXPECT_EQ(conn, 0u);
    ASSERT_EQ(NWParsePath("C:\\TEMP", server, &conn, volume, path), 0);
    EXPECT_STREQ(server, "");
    EXPECT_STREQ(volume, "C");
    EXPECT_NE(NWParsePath((std::string(60, 'S') + "/SYS:X").c_str(), server, &conn, volume, path),
              0);
}
