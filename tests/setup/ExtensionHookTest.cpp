// The extension hook with the sample module of examples/extension: what it is told, what it
// answers, and its two callbacks into the installer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <vector>

#include "SetupFixture.h"
#include "components/ComponentList.h"
#include "messages/MessageStrings.h"
#include "program/ExtensionHook.h"
#include "program/HookCallbacks.h"

namespace kestrel::setup::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

const std::filesystem::path kSampleModule =
    std::filesystem::path(KESTREL_BINARY_DIR) / "lib" / "libsample-extension.so";

class ExtensionHookTest : public SetupFixture {
  protected:
    ExtensionHookTest() { env_.set("SAMPLE_HOOK_LOG", (dir_ / "hook.log").string()); }

    // A session whose script names `module` (a Windows path) and `function`.
    ExtensionHook& hookFor(const std::string& module, const std::string& function = "") {
        std::string script =
            "[Setup]\nVersion=5.1\n[Application]\nSetupName=Sample\nSetupExtDll=" + module + "\n";
        if (!function.empty()) script += "SetupHookFunc=" + function + "\n";
        load(script);
        hook_ = std::make_unique<ExtensionHook>(*session_);
        return *hook_;
    }
    ExtensionHook& sampleHook() { return hookFor(machine_->windowsPath(kSampleModule)); }

    std::vector<std::string> logLines() {
        std::vector<std::string> lines;
        std::istringstream in(kestrel::test::readFile(dir_ / "hook.log"));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    kestrel::test::ScopedEnvironment env_;
    std::unique_ptr<ExtensionHook> hook_;
};

Component component(const std::string& name, std::vector<int> dependencies) {
    Component c;
    c.name = name;
    c.selected = true;
    c.dependencies = std::move(dependencies);
    return c;
}

TEST_F(ExtensionHookTest, TellsTheModuleEachEventWithItsArgumentsAndTheRunFlags) {
    ExtensionHook& hook = sampleHook();
    ASSERT_TRUE(hook.load());
    ASSERT_TRUE(hook.loaded());
    session_->run().silent = true;
    session_->run().uninstall = true;
    session_->run().perUserPart = true;

    EXPECT_TRUE(hook.event(ExtensionHook::kEventComponentsBuilt));
    EXPECT_EQ(hook.notify(2, "C:\\src\\a.txt", "C:\\App\\a.txt"), 1);
    const ComponentList list;
    ComponentHook components = hook.componentHook(list);
    EXPECT_TRUE(components(kHookBeforeComponent, component("Tools\\Viewer", {2, 5})));
    EXPECT_TRUE(components(kHookAfterComponent, component("Docs", {})));

    const std::string head = "size=40 flags=274 script=C:\\setup\\Setup.inf";
    EXPECT_THAT(
        logLines(),
        ElementsAre(
            "event=4 " + head + " answer=1",
            "event=2 " + head + " source=C:\\src\\a.txt destination=C:\\App\\a.txt answer=1",
            "event=6 " + head + " component=Tools\\Viewer selected=1 dependencies=2,5 answer=1",
            "event=7 " + head + " component=Docs selected=1 dependencies= answer=1"));
}

TEST_F(ExtensionHookTest, NoFromTheModuleRefusesThatEventOnly) {
    env_.set("SAMPLE_HOOK_NO", "4,3,6:Docs");
    ExtensionHook& hook = sampleHook();
    ASSERT_TRUE(hook.load());
    EXPECT_FALSE(hook.event(ExtensionHook::kEventComponentsBuilt));
    EXPECT_TRUE(hook.event(ExtensionHook::kEventEnd));
    EXPECT_EQ(hook.notify(3, "a", "b"), 0);
    EXPECT_EQ(hook.notify(2, "a", "b"), 1);
    const ComponentList list;
    ComponentHook components = hook.componentHook(list);
    EXPECT_FALSE(components(kHookBeforeComponent, component("Docs", {})));
    EXPECT_TRUE(components(kHookBeforeComponent, component("Base", {})));
    EXPECT_TRUE(components(kHookAfterComponent, component("Docs", {})));
}

TEST_F(ExtensionHookTest, CallbacksExpandAndSetTheInstallersVariables) {
    env_.set("SAMPLE_HOOK_EXPAND", "%SetupName%|%App%|%HOOKNOTE%");
    ExtensionHook& hook = sampleHook();
    ASSERT_TRUE(hook.load());
    session_->variables().setDirectory("App", "C:\\Program Files\\Sample");
    environment_.set("HOOKNOTE", "noted");

    env_.set("SAMPLE_HOOK_SET", "app=D:\\Elsewhere\\");
    EXPECT_TRUE(hook.event(ExtensionHook::kEventComponentsBuilt));
    EXPECT_EQ(session_->variables().value("App"), "D:\\Elsewhere\\");
    env_.set("SAMPLE_HOOK_SET", "MixedCase=value");
    EXPECT_TRUE(hook.event(ExtensionHook::kEventComponentsBuilt));
    EXPECT_EQ(environment_.get("MIXEDCASE"), "value");
    env_.set("SAMPLE_HOOK_SET", "=x");  // no environment entry has an empty name
    EXPECT_TRUE(hook.event(ExtensionHook::kEventComponentsBuilt));

    const std::vector<std::string> lines = logLines();
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_THAT(lines[0], HasSubstr(" expand=1:Sample|C:\\Program Files\\Sample|noted set=1 "));
    EXPECT_THAT(lines[1], HasSubstr(" expand=1:Sample|D:\\Elsewhere|noted set=1 "));
    EXPECT_THAT(lines[2], HasSubstr(" set=0 "));
}

TEST_F(ExtensionHookTest, WithoutAModuleEveryEventIsYes) {
    ExtensionHook& hook = hookFor("");
    ASSERT_TRUE(hook.load());
    EXPECT_FALSE(hook.loaded());
    EXPECT_TRUE(hook.event(ExtensionHook::kEventComponentsBuilt));
    EXPECT_EQ(hook.notify(2, "a", "b"), 1);
    const ComponentList list;
    EXPECT_TRUE(hook.componentHook(list)(kHookBeforeComponent, component("Base", {})));
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(ExtensionHookTest, AMissingModuleAsksAndGoesOnOnlyOnIgnore) {
    ui_.answer({buttons::kIgnore, buttons::kCancel});
    EXPECT_TRUE(hookFor("C:\\setup\\missing.so").load());
    EXPECT_FALSE(hook_->loaded());
    EXPECT_FALSE(hookFor("C:\\setup\\missing.so").load());
    ASSERT_THAT(ui_.numbers(), ElementsAre(messages::kCannotLoadDll, messages::kCannotLoadDll));
    EXPECT_EQ(ui_.shown[0].box.text, "Cannot load DLL 'C:\\setup\\missing.so'.\nError 126!");
}

TEST_F(ExtensionHookTest, AFileThatIsNoModuleIsABadFormat) {
    std::filesystem::create_directories(dir_ / "prefix/drive_c/setup");
    kestrel::test::writeFile(dir_ / "prefix/drive_c/setup/hook.so", "not a library");
    ui_.answer({buttons::kCancel});
    EXPECT_FALSE(hookFor("hook.so").load());  // a bare name lies beside the script
    ASSERT_EQ(ui_.shown.size(), 1U);
    EXPECT_EQ(ui_.shown[0].box.text, "Cannot load DLL 'hook.so'.\nError 193!");
}

TEST_F(ExtensionHookTest, AMissingFunctionEndsTheRun) {
    const std::string module = machine_->windowsPath(kSampleModule);
    EXPECT_FALSE(hookFor(module, "NoSuchHook").load());
    EXPECT_FALSE(hook_->loaded());
    ASSERT_THAT(ui_.numbers(), ElementsAre(messages::kFunctionNotFound));
    EXPECT_EQ(ui_.shown[0].box.text, "Cannot find function 'NoSuchHook' in DLL '" + module + "'!");
}

TEST_F(ExtensionHookTest, ExpandingInPlaceNeverWritesPastTheBuffer) {
    load("[Setup]\nVersion=5.1\n");
    // Each reference grows to 255 characters: the text would become far longer than fits.
    session_->variables().set("App", std::string(255, 'x'));
    std::vector<char> memory(kHookExpandBufferSize + 16, '#');
    std::string text;
    while (text.size() + 5 < kHookExpandBufferSize) text += "%App%";
    std::memcpy(memory.data(), text.c_str(), text.size() + 1);
    EXPECT_TRUE(expandHookBuffer(memory.data(), session_->expander()));
    EXPECT_EQ(std::strlen(memory.data()), kHookExpandBufferSize - 1);
    EXPECT_EQ(std::string(memory.begin() + kHookExpandBufferSize, memory.end()),
              std::string(16, '#'));

    // A text without its zero is read only as far as the buffer reaches.
    std::vector<char> unterminated(kHookExpandBufferSize + 16, 'y');
    EXPECT_TRUE(expandHookBuffer(unterminated.data(), session_->expander()));
    EXPECT_EQ(std::strlen(unterminated.data()), kHookExpandBufferSize - 1);
    EXPECT_FALSE(expandHookBuffer(nullptr, session_->expander()));
}

}  // namespace
}  // namespace kestrel::setup::test
