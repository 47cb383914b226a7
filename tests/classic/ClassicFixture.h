// A private world for the first edition's tests: an isolated user whose client reads the
// sample directory, a login to ACME_TREE, and a browser whose programs and echoes are
// recorded instead of run.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "ClassicBrowser.h"
#include "ClientWorld.h"
#include "DirectoryAccess.h"
#include "ScriptedUi.h"
#include "platform/EchoProbe.h"

namespace kestrel::classic::test {

class ScriptedEcho : public platform::EchoProbe {
  public:
    platform::EchoResult send(const platform::EchoRequest& request) override {
        requests.push_back(request);
        return result;
    }
    std::vector<platform::EchoRequest> requests;
    platform::EchoResult result;
};

class ClassicTest : public ::testing::Test {
  protected:
    void SetUp() override;

    // Points the client at another directory file (the sample is the default).
    void useDirectory(const std::filesystem::path& directoryFile,
                      const std::string& nameContext = "[Root]");
    void login(const char* tree = "ACME_TREE", const char* user = "CN=Admin.O=Acme",
               const char* password = "acme");

    // A started browser over a fresh directory access; it talks through `ui` when given,
    // else through the scripted ui_.
    ClassicBrowser& startBrowser(const std::string& commandLine = "", Ui* ui = nullptr);
    // Lists the way down from the top item through the given item texts, selects the last
    // item and returns it; kNoItem when a step is missing.
    ItemId open(std::initializer_list<const char*> path);
    ItemId child(ItemId parent, const std::string& text) const;
    std::filesystem::path profile() const { return world_.configHome() / "KESTRELSCOPE.INI"; }

    kestrel::test::ClientWorld world_;
    const std::filesystem::path& root_ = world_.root();
    ScriptedUi ui_;
    ScriptedEcho echo_;
    std::vector<std::string> started_;
    platform::StartError startResult_ = platform::StartError::None;
    WakeOnLanPorts ports_;
    std::unique_ptr<DirectoryAccess> directory_;
    std::unique_ptr<ClassicBrowser> browser_;
};

}  // namespace kestrel::classic::test
