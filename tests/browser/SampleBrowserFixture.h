// Tests of the browser on the bundled sample directory: an isolated user whose client reads
// the sample, and a controller whose questions and dialogs are scripted.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ClientWorld.h"
#include "ScriptedUi.h"
#include "window/BrowserController.h"

namespace kestrel::browser::test {

class SampleBrowserTest : public ::testing::Test {
  protected:
    void SetUp() override { world_.useSample(); }
    void TearDown() override { controller_.reset(); }

    // Logs in to ACME_TREE as the sample's demo user through the client.
    void logInAsDemo();
    // A controller set up on `startContext` of the tree the demo user is logged in to.
    BrowserController& openBrowser(const std::string& startContext);
    // Selects the child of the top item shown as `text`; null when there is none.
    TreeItem* selectChild(const std::string& text);
    // Creates the folder; for members that need it made when they are.
    static std::filesystem::path madeFolder(const std::filesystem::path& folder) {
        std::filesystem::create_directory(folder);
        return folder;
    }

    kestrel::test::ClientWorld world_;
    const std::filesystem::path& root_ = world_.root();
    kestrel::test::ScopedEnvironment& environment_ = world_.environment();
    ScriptedUi ui_;
    CKestrelscopeApp app_;
    std::unique_ptr<BrowserController> controller_;
};

}  // namespace kestrel::browser::test
