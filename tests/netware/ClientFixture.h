// A private client setup for one test: an isolated user whose client configuration names a
// directory written for the test (the file itself, or a private slapd serving it), and the
// contexts the test opened, freed after it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ClientWorld.h"
#include "SlapdServer.h"
#include "nwnet.h"

namespace nwtest {

using kestrel::test::ClientConfig;
using kestrel::test::DirectoryBuilder;

// ACME_TREE: O=Acme with OU=Sales (workstations WS17, NB1, PC1, a user and a group),
// OU=Staff (users and groups only), C=DE/S=Hessen/L=Frankfurt; OTHER_TREE: O=Other. Every
// user's password is "secret".
DirectoryBuilder sampleDirectory();

// Which backend serves the directory: the file, or slapd loaded from it.
enum class Backend { Json, Slapd };
std::string PrintToString(Backend backend);

class ClientFixture : public ::testing::Test {
  protected:
    void TearDown() override;

    // Chooses the backend for the directories used later; false (the test is skipped) when
    // no slapd can run here.
    bool useBackend(Backend backend);
    Backend backend() const { return backend_; }
    // The server of the slapd backend (after useDirectory), else null.
    kestrel::test::SlapdServer* server() const;
    // Results in the directory's own order: the file's order for the file, the server's for
    // a server (slapd lists a container in an order of its own), so a server's results
    // compare as sorted.
    template <class T>
    std::vector<T> ordered(std::vector<T> items) const {
        if (backend_ == Backend::Slapd) std::sort(items.begin(), items.end());
        return items;
    }

    // Writes the directory and a configuration for it (with CR LF, as Windows editors leave
    // it), then initialises the client.
    void useDirectory(const DirectoryBuilder& directory,
                      ClientConfig config = {.defaultTree = "ACME_TREE"});
    void useDirectoryText(const std::string& text, ClientConfig config = {});
    // Makes the client read its configuration and directory again.
    void reinitialize();
    std::filesystem::path sessionFile() const { return world_.stateHome() / "kestrel" / "session"; }
    const std::filesystem::path& root() const { return world_.root(); }

    // A context on `tree` with its name context; typed, canonicalised names.
    int openContext(const std::string& tree = "ACME_TREE",
                    const std::string& nameContext = "[Root]");
    int login(const std::string& tree, const std::string& user, const std::string& password);
    // Every name of a listing, with the buffer size given; `afterReply` runs after each reply
    // with its number, from 1.
    NWDSCCODE list(int context, const char* container, std::vector<std::string>* names,
                   std::size_t size = 4096, const std::function<void(int)>& afterReply = {});

  private:
    kestrel::test::ClientWorld world_;
    std::vector<int> contexts_;
    Backend backend_ = Backend::Json;
};

// A suite run once with each backend: SetUp chooses it from the parameter.
class BackendFixture : public ClientFixture, public ::testing::WithParamInterface<Backend> {
  protected:
    void SetUp() override;
};

// Names the cases after their backend: Backends/ListRead.Name/Json, .../Slapd.
struct BackendName {
    std::string operator()(const ::testing::TestParamInfo<Backend>& param) const {
        return PrintToString(param.param);
    }
};

#define KESTREL_FOR_BOTH_BACKENDS(Suite)                                                       \
    INSTANTIATE_TEST_SUITE_P(Backends, Suite,                                                  \
                             ::testing::Values(nwtest::Backend::Json, nwtest::Backend::Slapd), \
                             nwtest::BackendName())

}  // namespace nwtest
