// An isolated user with a directory client of his own: the user's places (IsolatedUser), a
// client configuration that NWCLIENT_CONFIG names, and the directory file it points at,
// either built for the test or the bundled sample.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "DirectoryBuilder.h"
#include "IsolatedUser.h"

namespace kestrel::test {

// The [Client] section of a client configuration; empty keys are left out. Every member has
// an initialiser, so designated initialisers may name any few of them.
struct ClientConfig {
    std::string directory = "directory.json";  // relative to the configuration's folder
    std::string defaultTree{};
    std::string nameContext{};
    std::string sessionFile{};  // default $XDG_STATE_HOME/kestrel/session
    std::string lineEnd = "\n";

    std::string text() const;
};

// The bundled sample directory.
std::filesystem::path sampleDirectoryFile();

class ClientWorld : public IsolatedUser {
  public:
    ClientWorld();  // NWCLIENT_CONFIG names clientConfig(), not written yet

    // Points the environment here again, the client configuration included.
    void enter();

    std::filesystem::path clientConfig() const { return root() / "nwclient.ini"; }
    std::filesystem::path directoryFile() const { return root() / "directory.json"; }

    // Writes the directory file and a configuration naming it.
    void useDirectory(const DirectoryBuilder& directory, const ClientConfig& config = {});
    void useDirectoryText(std::string_view text, const ClientConfig& config = {});
    void writeConfig(const ClientConfig& config);
    // The sample directory with the settings of the sample's own configuration, written to
    // this world's file: the client rereads a configuration only when its path or time stamp
    // changes, so one file shared by the tests of a run would keep the first test's session.
    void useSample();
};

}  // namespace kestrel::test
