// A private client setup for one test: an isolated user whose client configuration names a
// directory file written for the test, and the contexts the test opened, freed after it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ClientWorld.h"

namespace nwtest {

using kestrel::test::ClientConfig;
using kestrel::test::DirectoryBuilder;

// ACME_TREE: O=Acme with OU=Sales (workstations WS17, NB1, PC1, a user and a group),
// OU=Staff (users and groups only), C=DE/S=Hessen/L=Frankfurt; OTHER_TREE: O=Other. Every
// user's password is "secret".
DirectoryBuilder sampleDirectory();

class ClientFixture : public ::testing::Test {
  protected:
    void TearDown() override;

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

  private:
    kestrel::test::ClientWorld world_;
    std::vector<int> contexts_;
};

}  // namespace nwtest
