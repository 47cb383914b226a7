// Asking for a disk: the DISK page until the file is in the directory given, Skip where the
// request allows it, Cancel, silent runs; and the disks' labels from the script.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <optional>

#include "SetupFixture.h"
#include "copy/ScriptDiskLabels.h"
#include "copy/WizardDiskPrompt.h"
#include "messages/MessageStrings.h"

namespace kestrel::setup::copy {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;

class DiskPromptTest : public test::SetupFixture {
  protected:
    void SetUp() override {
        load("[Setup]\nVersion=5.1\n[Application]\nProductName=Acme\nSetupName=Acme Setup\n");
        fs::create_directories(host("C:\\source"));
        fs::create_directories(host("C:\\disk2"));
        std::ofstream(host("C:\\disk2") / "Data02.cab") << "MSCF";
        pages.emplace(session_->messages(), *machine_);
        pages->setTitle("Acme Setup");
    }
    fs::path host(const std::string& windows) { return *machine_->hostPath(windows); }
    DiskRequest request(bool skipAllowed) {
        return {"Acme Tools, second disk", host("C:\\source") / "Data02.cab", skipAllowed};
    }

    std::optional<PageHost> pages;  // over the session SetUp loads
};

TEST_F(DiskPromptTest, ShowsTheDiskPageUntilTheFileIsInTheDirectoryGiven) {
    WizardDiskPrompt prompt(*pages, *machine_, false);
    ui_.answerPage({PageResult::Next, {"C:\\nowhere"}});
    ui_.answerPage({PageResult::Next, {"C:\\disk2"}});
    const DiskAnswer answer = prompt.askFor(request(true));
    EXPECT_EQ(answer.kind, DiskAnswer::Kind::Found);
    EXPECT_EQ(answer.file, host("C:\\disk2") / "Data02.cab");

    ASSERT_THAT(ui_.pages, SizeIs(2));
    const WizardPage& first = ui_.pages[0];
    EXPECT_EQ(first.kind, PageKind::Disk);
    EXPECT_EQ(first.title, "Acme Setup");
    EXPECT_EQ(first.text, builtinString(strings::kInsertDisk));
    EXPECT_EQ(first.question, "Acme Tools, second disk");
    EXPECT_EQ(first.fields[0].text(), "C:\\source");
    EXPECT_TRUE(first.skipVisible);
    EXPECT_EQ(ui_.pages[1].fields[0].text(), "C:\\nowhere") << "what was typed comes back";
}

TEST_F(DiskPromptTest, SkipWhereAllowedAndCancelEnds) {
    WizardDiskPrompt prompt(*pages, *machine_, false);
    ui_.answerPages({PageResult::Skip});
    EXPECT_EQ(prompt.askFor(request(true)).kind, DiskAnswer::Kind::Skip);

    // Without Skip on the page the button is not there; Cancel asks first.
    ui_.answerPages({PageResult::Skip, PageResult::Cancel});
    ui_.answer({buttons::kYes});
    EXPECT_EQ(prompt.askFor(request(false)).kind, DiskAnswer::Kind::Cancel);
    EXPECT_FALSE(ui_.pages.back().skipVisible);
    EXPECT_THAT(ui_.numbers(), ElementsAre(5509));
}

TEST_F(DiskPromptTest, SilentRunAsksNothing) {
    WizardDiskPrompt prompt(*pages, *machine_, true);
    EXPECT_EQ(prompt.askFor(request(false)).kind, DiskAnswer::Kind::Skip);
    EXPECT_THAT(ui_.pages, IsEmpty());
}

TEST_F(DiskPromptTest, LabelsFromTheScriptByNameOrTheNumberAfterTheBlank) {
    load(
        "[Setup]\nVersion=5.1\n[Disks]\n1=Program disk\n2=Tools in %Windows%\n"
        "Extra Disk=The extra one\n4=\nCabTemplateName=Data00.cab\n");
    ScriptDiskLabels labels(session_->script(), session_->expander(), session_->strings());
    EXPECT_EQ(labels.label("1"), "Program disk");
    EXPECT_EQ(labels.label("Disk 2"), "Tools in " + expand("%Windows%"));
    EXPECT_EQ(labels.label("Extra Disk"), "The extra one");
    EXPECT_EQ(labels.label("3"), "Disk 3");
    EXPECT_EQ(labels.label("Disk 4"), "Disk 4") << "an empty label is none";
}

}  // namespace
}  // namespace kestrel::setup::copy
