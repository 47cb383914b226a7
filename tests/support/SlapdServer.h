// A private OpenLDAP slapd for tests: its own temporary folder, configuration and mdb
// database (suffix dc=kestrel) seeded from a directory file through the converter in
// examples/directory, listening on 127.0.0.1 and a free port. Every wait has a time limit,
// and the server dies with the object (or with the test process).
//
//     if (auto why = SlapdServer::unavailable(); !why.empty()) GTEST_SKIP() << why;
//     auto server = SlapdServer::start();
//     ASSERT_TRUE(server) << server.error();
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ClientWorld.h"
#include "TestSupport.h"
#include "platform/Expected.h"

namespace kestrel::test {

struct SlapdSeed {
    std::filesystem::path directory = sampleDirectoryFile();  // converted to LDIF
    std::vector<std::filesystem::path> extraLdif{};           // loaded after it, in order
    // A certificate of its own for StartTLS, and a second listener for ldaps://.
    bool tls = false;
};

class SlapdServer;

// Two servers that replicate each other.
struct SlapdMirrors {
    std::unique_ptr<SlapdServer> first, second;
};

class SlapdServer {
  public:
    using Result = platform::Expected<void, std::string>;

    // Why no server can run here (slapd, slapadd or python3 missing); "" when one can.
    static std::string unavailable();

    // Prepares the folder, loads the seed with slapadd and starts the server.
    static platform::Expected<std::unique_ptr<SlapdServer>, std::string> start(
        const SlapdSeed& seed = {});
    // Two servers that replicate each other (OpenLDAP's syncrepl in mirror mode, each the
    // other's provider and consumer), both holding `seed` (without TLS) with the same entry
    // identities: a change made on either shows on the other.
    static platform::Expected<SlapdMirrors, std::string> startMirrors(const SlapdSeed& seed = {});

    ~SlapdServer();
    SlapdServer(const SlapdServer&) = delete;
    SlapdServer& operator=(const SlapdServer&) = delete;

    std::string url() const;  // ldap://127.0.0.1:PORT/
    int port() const { return port_; }
    // With SlapdSeed::tls: ldaps://127.0.0.1:PORT/ and the certificate a client must trust
    // (LDAPTLS_CACERT names it for libldap); "" and an empty path without.
    std::string ldapsUrl() const;
    std::filesystem::path caCertificate() const;
    const std::string& suffix() const { return suffix_; }
    const std::string& adminDn() const { return adminDn_; }
    const std::string& adminPassword() const { return adminPassword_; }
    // Each tree of the seed with its base DN, in the seed's order.
    const std::vector<std::pair<std::string, std::string>>& trees() const { return trees_; }
    std::string treeBase(std::string_view tree) const;  // "" for an unknown tree
    // ldap://127.0.0.1:PORT/<base DN, URL-escaped>: what [Trees] maps the tree to.
    std::string treeUrl(std::string_view tree) const;
    const std::filesystem::path& folder() const { return folder_.path(); }

    bool running() const { return pid_ > 0; }
    // Ends the server (SIGTERM, SIGKILL after a grace time); the data stays.
    void stop();
    // Starts it again on the same port with the same data.
    Result restart();

    // A client configuration: [Client] with Directory=url() and the rest of `config`, then
    // [Trees] naming every tree of the seed; with a `replica`, its URLs follow each of ours.
    std::string clientConfigText(ClientConfig config = {},
                                 const SlapdServer* replica = nullptr) const;
    void writeClientConfig(const std::filesystem::path& file, ClientConfig config = {},
                           const SlapdServer* replica = nullptr) const;

  private:
    SlapdServer() = default;
    // private_slapd.py prepare for the seed with `more` arguments, then the settings it wrote.
    Result prepare(const SlapdSeed& seed, const std::vector<std::string>& more);
    Result readSettings();
    Result launch(bool anyPort, bool tls);

    TempDir folder_;
    pid_t pid_ = -1;
    int port_ = 0;
    int tlsPort_ = 0;  // 0: no ldaps:// listener
    std::string suffix_;
    std::string adminDn_;
    std::string adminPassword_;
    std::vector<std::pair<std::string, std::string>> trees_;
};

}  // namespace kestrel::test
