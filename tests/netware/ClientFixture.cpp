#include "ClientFixture.h"

#include "nwcalls.h"
#include "nwnet.h"

namespace nwtest {

using kestrel::test::Json;
namespace value = kestrel::test::value;

DirectoryBuilder sampleDirectory() {
    DirectoryBuilder directory;
    directory.tree("ACME_TREE")
        .object("O=Acme", "Organization")
        .object("OU=Sales.O=Acme", "Organizational Unit")
        .object("CN=WS17.OU=Sales.O=Acme", "Workstation",
                {{"WM:NAME Computer", {"WS17"}},
                 {"WM:Network Address", {"01010000:00A0C9123456:4006", "127.0.0.17"}},
                 {"WM:Last Registered Time", {value::time(915239109)}},
                 {"WM:INV Physical Memory", {value::integer(67108864)}},
                 {"ZEN:INV NIC Type", {value::octets("457468657221")}},
                 {"Some Net Address", {value::netAddress(1, "7f000011")}},
                 {"Some Class Name", {value::typedString("Workstation", 20)}}})
        .object("CN=NB1.OU=Sales.O=Acme", "Workstation")
        .user("CN=Admin.O=Acme")
        .object("CN=PC1.OU=Sales.O=Acme", "Workstation")
        .user("CN=jdoe.OU=Sales.O=Acme")
        .object("CN=Everyone.OU=Sales.O=Acme", "Group")
        .object("OU=Staff.O=Acme", "Organizational Unit")
        .user("CN=asmith.OU=Staff.O=Acme")
        .object("CN=Staff.OU=Staff.O=Acme", "Group")
        .object("C=DE", "Country")
        .object("S=Hessen.C=DE", "Locality")
        .object("L=Frankfurt.S=Hessen.C=DE", "Locality")
        .object("CN=FFM1.L=Frankfurt.S=Hessen.C=DE", "Workstation");
    directory.tree("OTHER_TREE").object("O=Other", "Organization").user("CN=Admin.O=Other");
    return directory;
}

void ClientFixture::TearDown() {
    for (int context : contexts_) NWDSFreeContext(context);
}

void ClientFixture::useDirectory(const DirectoryBuilder& directory, ClientConfig config) {
    useDirectoryText(directory.text(), std::move(config));
}

void ClientFixture::useDirectoryText(const std::string& text, ClientConfig config) {
    config.lineEnd = "\r\n";
    world_.useDirectoryText(text, config);
    reinitialize();
}

void ClientFixture::reinitialize() {
    // Files rewritten within one clock tick keep their time stamp; passing through another
    // configuration makes the client read them again for sure.
    {
        kestrel::test::ScopedEnv elsewhere("NWCLIENT_CONFIG", (root() / "none.ini").string());
        NWCallsInit(nullptr, nullptr);
    }
    NWCallsInit(nullptr, nullptr);
}

int ClientFixture::openContext(const std::string& tree, const std::string& nameContext) {
    NWDSContextHandle context = 0;
    EXPECT_EQ(NWDSCreateContextHandle(&context), 0);
    EXPECT_EQ(NWDSSetContext(context, DCK_TREE_NAME, tree.c_str()), 0);
    EXPECT_EQ(NWDSSetContext(context, DCK_NAME_CONTEXT, nameContext.c_str()), 0);
    contexts_.push_back(context);
    return context;
}

int ClientFixture::login(const std::string& tree, const std::string& user,
                         const std::string& password) {
    return NWDSLogin(openContext(tree), 0, user.c_str(), password.c_str(), 0);
}

}  // namespace nwtest
