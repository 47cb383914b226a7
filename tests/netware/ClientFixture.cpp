#include "ClientFixture.h"


#include "nwcalls.h"
#include "nwnet.h"

namespace nwtest {

using Json = nlohmann::ordered_json;

Json object(const std::string& name, const std::string& objectClass, Json attributes) {
    Json entry = {{"name", name}, {"class", objectClass}};
    if (!attributes.is_null()) entry["attributes"] = std::move(attributes);
    return entry;
}

Json user(const std::string& name) {
    Json entry = object(name, "User");
    entry["password"] = kSecretHash;
    return entry;
}

Json sampleDirectory() {
    Json acme = Json::array({
        object("O=Acme", "Organization"),
        object("OU=Sales.O=Acme", "Organizational Unit"),
        object("CN=WS17.OU=Sales.O=Acme", "Workstation",
               {{"WM:NAME Computer", {"WS17"}},
                {"WM:Network Address", {"01010000:00A0C9123456:4006", "127.0.0.17"}},
                {"WM:Last Registered Time", {{{"time", 915239109}}}},
                {"WM:INV Physical Memory", {{{"integer", 67108864}}}},
                {"ZEN:INV NIC Type", {{{"octets", "hex:457468657221"}}}},
                {"Some Net Address", {{{"netaddress", {{"type", 1}, {"hex", "7f000011"}}}}}},
                {"Some Class Name", {{{"string", "Workstation"}, {"syntax", 20}}}}}),
        object("CN=NB1.OU=Sales.O=Acme", "Workstation"),
        user("CN=Admin.O=Acme"),
        object("CN=PC1.OU=Sales.O=Acme", "Workstation"),
        user("CN=jdoe.OU=Sales.O=Acme"),
        object("CN=Everyone.OU=Sales.O=Acme", "Group"),
        object("OU=Staff.O=Acme", "Organizational Unit"),
        user("CN=asmith.OU=Staff.O=Acme"),
        object("CN=Staff.OU=Staff.O=Acme", "Group"),
        object("C=DE", "Country"),
        object("S=Hessen.C=DE", "Locality"),
        object("L=Frankfurt.S=Hessen.C=DE", "Locality"),
        object("CN=FFM1.L=Frankfurt.S=Hessen.C=DE", "Workstation"),
    });
    Json other = Json::array({object("O=Other", "Organization"), user("CN=Admin.O=Other")});
    return {{"trees", {{{"name", "ACME_TREE"}, {"objects", acme}},
                       {{"name", "OTHER_TREE"}, {"objects", other}}}}};
}

void ClientFixture::SetUp() {
    environment_.set("HOME", root_.string());
    environment_.set("XDG_CONFIG_HOME", (root_ / "config").string());
    environment_.set("XDG_STATE_HOME", (root_ / "state").string());
    environment_.set("NWCLIENT_CONFIG", (root_ / "nwclient.ini").string());
}

void ClientFixture::TearDown() {
    for (int context : contexts_) NWDSFreeContext(context);
}

void ClientFixture::useDirectory(const Json& directory, const std::string& extraConfig) {
    useDirectoryText(directory.dump(2), extraConfig);
}

void ClientFixture::useDirectoryText(const std::string& text, const std::string& extraConfig) {
    kestrel::test::writeFile(root_ / "directory.json", text);
    kestrel::test::writeFile(root_ / "nwclient.ini",
                             "[Client]\r\nDirectory=directory.json\r\n" + extraConfig);
    reinitialize();
}

void ClientFixture::reinitialize() {
    // Files rewritten within one clock tick keep their time stamp; passing through another
    // configuration makes the client read them again for sure.
    {
        kestrel::test::ScopedEnv elsewhere("NWCLIENT_CONFIG", (root_ / "none.ini").string());
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
