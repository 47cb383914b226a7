// Between the run's kind and the wizard: the administrator's folders, the administrator
// copy's source, [Environment], the component list with /O, the main window and its sound.
#include "RunFixture.h"
#include "program/BackgroundSound.h"
#include "program/RunKind.h"
#include "program/SourceDirectory.h"

namespace kestrel::setup::test {
namespace {

class RunPreparation : public RunFixture {
  protected:
    bool prepare() { return decideRunKind(*run_) && prepareRun(*run_); }
    bool selected(std::string_view name) {
        const auto index = run_->components->find(name);
        EXPECT_TRUE(index) << name;
        return index && (*run_->components)[*index].selected;
    }
    std::string variable(std::string_view name) { return session_->variables().value(name); }
    // A file of the root, made with its folders.
    std::string put(const std::string& windowsPath) {
        const auto host = machine_->paths().hostPath(windowsPath);
        EXPECT_TRUE(host);
        std::filesystem::create_directories(host->parent_path());
        kestrel::test::writeFile(*host, "RIFF");
        return host->string();
    }
};

TEST_F(RunPreparation, TheCommandLinesOptionsPresetTheComponents) {
    const std::string script = productScript(
        "", "[Options]\nBase=B,DEFAULT,,\nDocs=D,DEFAULT,,\nTools=T,0,,\nase=a,DEFAULT,,\n");
    start(script, {"/O+Base-Docs+Tools"});
    ASSERT_TRUE(prepare());
    EXPECT_TRUE(selected("Base"));
    EXPECT_FALSE(selected("Docs"));
    EXPECT_TRUE(selected("Tools"));
    EXPECT_TRUE(selected("ase"));
    start(script, {"/OBase"});
    ASSERT_TRUE(prepare());
    EXPECT_TRUE(selected("Base"));
    EXPECT_FALSE(selected("ase")) << "the first character is the sign, whatever it is";
    ASSERT_TRUE(run_->services);
}

TEST_F(RunPreparation, AnAdministratorInstallationTakesItsFoldersFromAdmin) {
    start(productScript("",
                        "[Admin]\nApplicationDir=\\\\server\\apps\\%ProductName%\nAskDir=1\n"
                        "ClientSrcDir=\\\\server\\client\n"),
          {"/A", "/S"});
    ASSERT_TRUE(prepare());
    EXPECT_EQ(variable("App"), "\\\\server\\apps\\Acme Tools\\");
    EXPECT_EQ(variable("ClientSrcDir"), "\\\\server\\client\\");
    EXPECT_TRUE(run_->askDir);

    start(productScript(), {"/A", "/S", "/T"});
    ASSERT_TRUE(prepare());
    EXPECT_EQ(variable("App"), "C:\\Acme Tools\\") << "the command list needs some folder";
    EXPECT_FALSE(run_->askDir);

    start(productScript("AskDir=1\n", "[Admin]\nClientSrcDir=\\\\server\\client\n"));
    ASSERT_TRUE(prepare());
    EXPECT_TRUE(run_->askDir) << "other runs ask as [Application] says";
    EXPECT_EQ(variable("ClientSrcDir"), "") << "only runs that deal with a server copy";
}

TEST_F(RunPreparation, AnAdministratorCopyFindsItsFilesAboveItsScript) {
    // The copy on the server: files in \\server\acme\, the script in its Setup folder.
    start(productScript("SrcDir=..\\cd\n", "[Admin]\nAdminSetup=1\n"));
    EXPECT_EQ(variable("Src"), "C:\\cd\\");
    ASSERT_TRUE(prepare());
    EXPECT_TRUE(state().adminCopy);
    EXPECT_EQ(variable("Src"), "C:\\") << "Setup\\ is one folder below the copied files";
}

TEST_F(RunPreparation, EnvironmentSeesTheFoldersTheRunsKindLeaves) {
    registerProduct({{"Revision", "3"}, {"AppPath", "C:\\Registered\\"}});
    start(productScript("DataDir=%App%\\Data\n", "[Environment]\nAcmeBin=%App%\\bin\n"), {"/R"});
    EXPECT_EQ(environment_.get("ACMEBIN"), std::nullopt) << "not before the run's kind";
    ASSERT_TRUE(prepare());
    EXPECT_EQ(environment_.get("ACMEBIN"), "C:\\Registered\\bin");
    EXPECT_EQ(variable("Data"), "C:\\Registered\\Data\\");
}

TEST_F(RunPreparation, TheMainWindowIsShownUnlessSilentOrUninstalling) {
    start(productScript());
    ASSERT_TRUE(prepare());
    EXPECT_EQ(ui_.mainWindowShown, 1);
    start(productScript(), {"/S"});
    ASSERT_TRUE(prepare());
    EXPECT_EQ(ui_.mainWindowShown, 1);
    start(productScript(), {"/S2"});
    ASSERT_TRUE(prepare());
    EXPECT_EQ(ui_.mainWindowShown, 2);
}

TEST_F(RunPreparation, TheBackgroundSoundIsAFileOrASystemSound) {
    const std::string tada = put("C:\\setup\\tada.wav");
    RecordingSound sound;
    const auto play = [&](const std::string& setting) {
        start(productScript("BackgroundSound=" + setting + "\n"));
        playBackgroundSound(*session_, sound, "C:\\start\\");
    };
    play("tada.wav,ASYNC|LOOP|FILENAME");
    ASSERT_EQ(sound.plays.size(), 1u);
    EXPECT_EQ(sound.plays[0].file, tada);
    EXPECT_FALSE(sound.plays[0].wait);
    EXPECT_TRUE(sound.plays[0].loop);
    play("tada.wav");
    ASSERT_EQ(sound.plays.size(), 2u);
    EXPECT_TRUE(sound.plays[1].wait) << "without ASYNC the run waits for its end";
    play("SystemAsterisk");
    play("missing.wav,NODEFAULT");
    play("missing.wav");
    EXPECT_EQ(sound.beeps, (std::vector<commands::SystemSound>{commands::SystemSound::Information,
                                                               commands::SystemSound::Default}));
    EXPECT_EQ(sound.plays.size(), 2u);
}

TEST(SourceDirectory, SrcDirAndTheAdministratorCopysSource) {
    EXPECT_EQ(sourceWithSrcDir("C:\\setup\\", "..\\files"), "C:\\files\\");
    EXPECT_EQ(sourceWithSrcDir("C:\\setup", "disk1\\..\\..\\.."), "C:\\");
    EXPECT_EQ(sourceWithSrcDir("C:\\setup\\", "D:\\cd"), "D:\\cd\\");
    EXPECT_EQ(sourceWithSrcDir("C:\\setup\\", "\\\\server\\share\\x\\"), "\\\\server\\share\\x\\");
    EXPECT_EQ(sourceAboveScriptCopy("\\\\server\\apps\\Acme\\Setup\\", "Setup"),
              "\\\\server\\apps\\Acme\\");
    EXPECT_EQ(sourceAboveScriptCopy("C:\\a\\b\\c\\", "Setup\\Disk1\\"), "C:\\a\\");
    EXPECT_EQ(sourceAboveScriptCopy("C:\\a\\", "x\\y"), "C:\\") << "never above the drive";
}

}  // namespace
}  // namespace kestrel::setup::test
