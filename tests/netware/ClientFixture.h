// A private client setup for one test: a directory file, a configuration naming it and a
// session file, all in a temporary folder the environment points at.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "TestSupport.h"

namespace nwtest {

// crypt(3) SHA-512 hash of "secret".
inline constexpr const char* kSecretHash =
    "$6$kestreltest$/tanLLuEl3AKg8pXYM3VA6cawJhT73mqJgsKOSLK4GTDxUKtfyYyQ8kc7ZnUDg1m3owviRqrdMkX1xTNaho.E.";

nlohmann::ordered_json object(const std::string& name, const std::string& objectClass,
                              nlohmann::ordered_json attributes = nullptr);
nlohmann::ordered_json user(const std::string& name);  // password "secret"

// ACME_TREE: O=Acme with OU=Sales (workstations WS17, NB1, PC1, a user and a group),
// OU=Staff (users and groups only), C=DE/S=Hessen/L=Frankfurt; OTHER_TREE: O=Other.
nlohmann::ordered_json sampleDirectory();

class ClientFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the directory and a configuration for it, then initialises the client.
    void useDirectory(const nlohmann::ordered_json& directory,
                      const std::string& extraConfig = "DefaultTree=ACME_TREE\n");
    void useDirectoryText(const std::string& text, const std::string& extraConfig = "");
    // Makes the client read its configuration and directory again.
    void reinitialize();
    std::filesystem::path sessionFile() const { return root_ / "state" / "kestrel" / "session"; }
    const std::filesystem::path& root() const { return root_; }

    // A context on `tree` with its name context; typed, canonicalised names.
    int openContext(const std::string& tree = "ACME_TREE", const std::string& nameContext = "[Root]");
    int login(const std::string& tree, const std::string& user, const std::string& password);

private:
    kestrel::test::TempDir temp_;
    std::filesystem::path root_ = temp_.path();
    kestrel::test::ScopedEnvironment environment_;
    std::vector<int> contexts_;
};

}  // namespace nwtest
