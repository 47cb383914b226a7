// The main window as the run sets it up: pictures found by the script's search rules, texts
// prepared with the variables as they are when drawn, the cases in which it is shown.
#include "SetupFixture.h"
#include "messages/MessageStrings.h"
#include "program/MainWindowStart.h"
#include "script/PictureLookup.h"
#include "ui/PreparedText.h"

namespace kestrel::setup::test {
namespace {

// Keeps what the run hands the front end for its main window.
class WindowUi : public ScriptedUi {
  public:
    BackgroundWindow* openMainWindow(const MainWindowContent& made) override {
        content = made;
        return nullptr;
    }
    MainWindowContent content;
};

class MainWindowStart : public SetupFixture {
  protected:
    void put(const std::string& windowsPath) {
        const auto host = machine_->paths().hostPath(windowsPath);
        ASSERT_TRUE(host);
        std::filesystem::create_directories(host->parent_path());
        kestrel::test::writeFile(*host, "picture");
    }
    std::string host(const std::string& windowsPath) {
        return machine_->paths().hostPath(windowsPath)->string();
    }
};

constexpr const char* kScript =
    "[Setup]\nVersion=5.11\n[Application]\nSetupName=Acme Setup\nDefaultUser=Ann\n"
    "DefaultCompany=\nBackgroundColor=FF0000,0\nLogo=%Pictures\\%logo.bmp,-10#,-10#\n"
    "BackgroundPicture=a16.bmp;missing.bmp;a8.bmp,,,,,,TILE\n"
    "Text1=\"%User%, %Company%  \",Arial,12,SWISS,FFFFFF,10#,10#,SHADOW\n"
    "Text2=Line one\\nLine & two,Arial,10,SWISS,FFFFFF,,,\n";

TEST_F(MainWindowStart, PicturesAreFoundAndTextsFollowTheVariables) {
    WindowUi ui;
    load(kScript);
    environment_.set("PICTURES", "C:\\art\\");
    put("C:\\art\\logo.bmp");
    put("C:\\setup\\a16.bmp");
    put("C:\\setup\\a8.bmp");
    EXPECT_EQ(openMainWindow(*session_, ui, "C:\\start\\"), nullptr);
    const MainWindowContent& content = ui.content;
    EXPECT_EQ(content.colourFrom, 0xFF0000u);
    EXPECT_EQ(content.logo.files, std::vector<std::string>{host("C:\\art\\logo.bmp")});
    EXPECT_EQ(content.backgroundPicture.files,
              (std::vector<std::string>{host("C:\\setup\\a16.bmp"), host("C:\\setup\\a8.bmp")}));
    EXPECT_EQ(content.backgroundPicture.flags, picture::kTile);
    EXPECT_TRUE(ui_.numbers().empty()) << "a listed file that is missing is skipped";
    EXPECT_EQ(ui.titles.back(), "Acme Setup");

    ASSERT_EQ(content.texts.size(), 2u);
    EXPECT_EQ(content.text(0), "Ann");
    EXPECT_EQ(content.text(1), "Line one\nLine & two");
    session_->variables().set("Company", "Acme");
    EXPECT_EQ(content.text(0), "Ann, Acme") << "drawn with the present values";

    put("C:\\setup\\show.bmp");
    EXPECT_EQ(content.findFiles({"show.bmp", "nowhere.bmp"}),
              std::vector<std::string>{host("C:\\setup\\show.bmp")});
}

TEST_F(MainWindowStart, PictureFoundNowhereIsSaidExceptWhenUninstalling) {
    WindowUi window;
    load(kScript);
    (void)openMainWindow(*session_, window, "C:\\start\\");
    EXPECT_EQ(ui_.numbers(),
              (std::vector<int>{messages::kCannotOpenFile, messages::kCannotOpenFile}));
    EXPECT_EQ(ui_.shown[0].box.text, "Cannot open file 'a16.bmp'!") << "the first name listed";
    EXPECT_EQ(ui_.shown[1].box.text, "Cannot open file 'logo.bmp'!");
    EXPECT_TRUE(window.content.logo.files.empty());

    ui_.shown.clear();
    load(kScript);
    session_->run().uninstall = true;
    (void)openMainWindow(*session_, window, "C:\\start\\");
    EXPECT_TRUE(ui_.numbers().empty());
}

TEST_F(MainWindowStart, SearchOrderOfRelativeNames) {
    load(kScript);
    const auto directories =
        pictureDirectories(session_->variables(), session_->run(), "C:\\start\\");
    const auto find = [&](const std::string& name) {
        const auto found = findPictureFile(name, directories, machine_->paths());
        return found ? found->string() : std::string("<none>");
    };
    session_->variables().setDirectory("Src", "C:\\src");
    const auto withSrc = pictureDirectories(session_->variables(), session_->run(), "C:\\start\\");
    put("C:\\src\\p.bmp");
    EXPECT_EQ(find("p.bmp"), "<none>");
    EXPECT_EQ(findPictureFile("p.bmp", withSrc, machine_->paths())->string(),
              host("C:\\src\\p.bmp"));
    put("C:\\start\\p.bmp");
    EXPECT_EQ(findPictureFile("p.bmp", withSrc, machine_->paths())->string(),
              host("C:\\start\\p.bmp"));
    put("C:\\setup\\p.bmp");
    EXPECT_EQ(find("p.bmp"), host("C:\\setup\\p.bmp")) << "the script's directory first";
    EXPECT_EQ(find("C:\\src\\p.bmp"), host("C:\\src\\p.bmp")) << "absolute names as they are";
    EXPECT_EQ(find("C:\\elsewhere\\p.bmp"), "<none>");

    // Runs on an existing installation also look in the application's script directory.
    session_->variables().setDirectory("App", "C:\\Acme");
    session_->variables().setDirectory("SetupInfDir", "Setup");
    put("C:\\Acme\\Setup\\q.bmp");
    EXPECT_EQ(find("q.bmp"), "<none>");
    session_->run().repeat = true;
    const auto repeat = pictureDirectories(session_->variables(), session_->run(), "");
    EXPECT_EQ(findPictureFile("q.bmp", repeat, machine_->paths())->string(),
              host("C:\\Acme\\Setup\\q.bmp"));
}

TEST(MainWindowShown, NotForUninstallationsNorSilentlyBelowLevelTwo) {
    RunState run;
    EXPECT_TRUE(showsMainWindow(run));
    run.silent = true;
    EXPECT_FALSE(showsMainWindow(run));
    run.silentLevel = 2;
    EXPECT_TRUE(showsMainWindow(run));
    run = RunState{};
    run.uninstall = true;
    EXPECT_FALSE(showsMainWindow(run));
}

TEST(PreparedText, UserLineLosesTrailingBlanksAndOneCommaOnly) {
    BuiltinVariables variables;
    variables.set("User", "Ann");
    variables.set("Company", "");
    const Expander expander({&variables, nullptr, nullptr, nullptr});
    EXPECT_EQ(prepareBackgroundText("%User%, %Company%", expander), "Ann");
    EXPECT_EQ(prepareBackgroundText("%user%,, ", expander), "Ann,");
    EXPECT_EQ(prepareBackgroundText("Dear, ", expander), "Dear, ") << "no user or company";
    EXPECT_EQ(prepareBackgroundText("a\\nb\\\\n & c\\", expander), "a\nb\\\n & c\\");
}

}  // namespace
}  // namespace kestrel::setup::test
