#include <gtest/gtest.h>

#include <sstream>

#include "CopyEngineFixture.h"
#include "RoundTrip.h"
#include "messages/MessageStrings.h"
#include "platform/FileAttributes.h"

namespace kestrel::setup::test {
namespace {

using kestrel::test::readFile;
using kestrel::test::writeFile;
namespace dosattr = platform::dosattr;
using namespace fileflag;

class FileSections : public CopyEngineFixture {};

TEST_F(FileSections, CreateLinesRoundTrip) {
    start(
        "[Files]\n0:x,%App%\\logs\\,CREATE+CASCADED\n0:x,%App%\\cache,CREATE+DIRECTORY+HIDDEN\n"
        "0:x,%App%\\empty.dat,CREATE+RDONLY\n");
    Plan files = plan("Files");
    const auto installed = [&] {
        EXPECT_TRUE(fs::is_directory(host("C:\\Acme\\logs")));
        EXPECT_EQ(platform::fileAttributes(host("C:\\Acme\\cache")),
                  dosattr::kDirectory | dosattr::kHidden);
        EXPECT_EQ(fs::file_size(host("C:\\Acme\\empty.dat")), 0u);
        EXPECT_EQ(platform::fileAttributes(host("C:\\Acme\\empty.dat")), dosattr::kReadOnly);
        // What the program wrote there goes with a CASCADED directory.
        writeFile(host("C:\\Acme\\logs\\today.log"), "log");
    };
    EXPECT_TRUE(installAndUninstall(context(), files, installed));
    ASSERT_EQ(followUps_.uninstalledFiles.size(), 3u);
    EXPECT_EQ(followUps_.uninstalledFiles[2].destination, "C:\\Acme\\logs");
    EXPECT_TRUE(followUps_.uninstalledFiles[2].flags.file & kCascaded);
    EXPECT_TRUE(followUps_.installedFiles.empty());
}

TEST_F(FileSections, CreateKeepsWhatAFileHolds) {
    start("[Files]\n0:x,notes.txt,CREATE\n");
    fs::create_directories(host("C:\\Acme"));
    writeFile(host("C:\\Acme\\notes.txt"), "mine");
    ASSERT_TRUE(install("Files"));
    EXPECT_EQ(readFile(host("C:\\Acme\\notes.txt")), "mine");
}

TEST_F(FileSections, HelpIndexBeforeWindows4IsAnEmptyFile) {
    start("[Files]\n0:x,%App%\\help\\app.gid,CREATE+HIDDEN\n");
    ASSERT_EQ(registry().createKey(platform::RegistryRoot::CurrentUser, "Software\\Wine"), 0);
    ASSERT_EQ(registry().setValue(platform::RegistryRoot::CurrentUser, "Software\\Wine", "Version",
                                  platform::RegistryValue::text(1, "nt351")),
              0);
    ASSERT_TRUE(install("Files"));
    EXPECT_EQ(fs::file_size(host("C:\\Acme\\help\\app.gid")), 0u);
    EXPECT_EQ(platform::fileAttributes(host("C:\\Acme\\help\\app.gid")), dosattr::kHidden);
}

TEST_F(FileSections, IncludeLinesFilterTheWholeSection) {
    start(
        "[Main]\n0:a.txt,a.txt\n#Extra,NT\n#Never,DOS\n#Extra,NT\n[Extra]\n0:b.txt,b.txt\n"
        "#Deeper,0\n[Deeper]\n0:c.txt,c.txt\n#Extra,0\n[Never]\n0:d.txt,d.txt\n");
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) source(name, name);
    Plan main = plan("Main");
    const auto installed = [&] {
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            EXPECT_TRUE(fs::exists(host(std::string("C:\\Acme\\") + name))) << name;
        EXPECT_FALSE(fs::exists(host("C:\\Acme\\d.txt")));
        // Extra was read once, however often it is named (and Deeper's cycle back ends).
        EXPECT_EQ(sources_.requests.size(), 3u);
    };
    EXPECT_TRUE(installAndUninstall(context(), main, installed));
    EXPECT_TRUE(ui_.numbers().empty());
}

TEST_F(FileSections, BadLinesEndTheSectionWithTheirMessage) {
    start(
        "[Files]\n0:a.txt,a.txt\n0:b.txt,b.txt,EXPAND+SOMETIMES\n0:c.txt,c.txt\n"
        "[Include]\n0:a.txt,a.txt\n#Nowhere,0\n0:c.txt,c.txt\n");
    source("a.txt", "a");
    source("c.txt", "c");
    EXPECT_FALSE(install("Files"));
    ASSERT_EQ(ui_.numbers(), std::vector<int>{messages::kIncorrectFlags});
    EXPECT_EQ(ui_.shown[0].box.text, "Incorrect Flags: EXPAND+SOMETIMES!");
    EXPECT_TRUE(fs::exists(host("C:\\Acme\\a.txt")));
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\c.txt")));

    EXPECT_FALSE(install("Include"));
    EXPECT_EQ(ui_.numbers().back(), messages::kSectionNotFound);
    EXPECT_EQ(ui_.shown.back().box.text, "Section 'Nowhere' not found!");
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\c.txt")));
}

TEST_F(FileSections, UninstallSkipsDontDeleteLinesAndGoesBackwards) {
    start("[Files]\n0:a.txt,a.txt,DONTREPLACE\n0:b.txt,b.txt,DONTDELETE\n0:c.txt,c.txt\n");
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) source(name, name);
    ASSERT_TRUE(install("Files"));
    ASSERT_TRUE(uninstall("Files"));
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\a.txt")));
    EXPECT_TRUE(fs::exists(host("C:\\Acme\\b.txt")));
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\c.txt")));
    // Last line first, DONTDELETE never reached; the progress window names each file.
    ASSERT_EQ(followUps_.uninstalledFiles.size(), 2u);
    EXPECT_EQ(followUps_.uninstalledFiles[0].destination, "C:\\Acme\\c.txt");
    EXPECT_EQ(followUps_.uninstalledFiles[1].destination, "C:\\Acme\\a.txt");
    EXPECT_EQ(progress_->view().first, "C:\\Acme\\a.txt");
}

TEST_F(FileSections, EngineFlagsAndTheMeter) {
    start(
        "DateWarning=0\n[Files]\n0:a.dll,%System%\\a.dll,REGISTER16,100\n"
        "0:Windows\\System32\\b.dll,%System%\\,,50\n0:c.txt,c.txt,DELETE,7\n");
    source("a.dll", std::string(100, 'a'));
    source("b.dll", std::string(50, 'b'));
    ASSERT_TRUE(install("Files"));
    ASSERT_EQ(followUps_.installedFiles.size(), 2u);
    const std::uint32_t flags = followUps_.installedFiles[0].flags.file;
    EXPECT_EQ(flags & (kRegister | kSharedDll | kNoDateWarning | kClient | kMachine),
              kRegister | kSharedDll | kNoDateWarning | kClient | kMachine);
    // The source prefix is gone for a destination in the system directory.
    EXPECT_EQ(sources_.requests.at(1).name, "b.dll");
    EXPECT_EQ(followUps_.installedFiles[1].destination, "C:\\windows\\system32\\b.dll");
    EXPECT_EQ(copier_->meter().total, 150u);
    EXPECT_EQ(copier_->meter().done, 150u);
}

TEST_F(FileSections, CommandListsNameWhatWouldBeCopied) {
    const std::string section =
        "[Files]\n0:readme.txt,readme.txt,,5\n0:My File.txt,%App%\\My Docs\\,\n"
        "1:packed.dll,packed.dll\n0:small.dl_,small.dll,,100\n0:x,logs\\,CREATE\n";
    start(section);
    source("readme.txt", "hello");
    source("My File.txt", "mine");
    source("small.dl_", "tiny");
    sources_.members["packed.dll"] = {"MZ", {}, {}};
    session_->run().commandList = true;
    std::ostringstream list;
    copy::CommandList listFile(list, copy::CommandList::Form::List, "C:\\temp\\setup.txt");
    copier_->setCommandList(&listFile);
    ASSERT_TRUE(install("Files"));
    EXPECT_EQ(list.str(), "readme.txt\n\"My File.txt\"\npacked.dll\nsmall.dl_\n");
    EXPECT_FALSE(fs::exists(host("C:\\Acme")));

    start(section);
    session_->run().commandList = true;
    session_->run().commandListLevel = 1;
    std::ostringstream batch;
    copy::CommandList batchFile(batch, copy::CommandList::Form::Batch, "C:\\temp\\setup.bat");
    copier_->setCommandList(&batchFile);
    ASSERT_TRUE(install("Files"));
    EXPECT_EQ(batch.str(),
              "@if not exist C:\\Acme md C:\\Acme>NUL\n"
              "copy C:\\setup\\readme.txt C:\\Acme\\readme.txt\n"
              "@if not exist \"C:\\Acme\\My Docs\" md \"C:\\Acme\\My Docs\">NUL\n"
              "copy \"C:\\setup\\My File.txt\" \"C:\\Acme\\My Docs\\My File.txt\"\n"
              "@if not exist C:\\Acme md C:\\Acme>NUL\n"
              "extract C:\\setup\\Setup.cab packed.dll\n"
              "@if not exist C:\\Acme md C:\\Acme>NUL\n"
              "expand C:\\setup\\small.dl_ C:\\Acme\\small.dll\n");
    EXPECT_FALSE(fs::exists(host("C:\\Acme")));
}

}  // namespace
}  // namespace kestrel::setup::test
