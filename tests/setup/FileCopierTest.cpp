#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

#include "CopyEngineFixture.h"
#include "RoundTrip.h"
#include "copy/TemporaryName.h"
#include "copy/UserInfoMarkers.h"
#include "messages/MessageStrings.h"
#include "platform/FileAttributes.h"

namespace kestrel::setup::test {
namespace {

using kestrel::test::readFile;
using kestrel::test::writeFile;
namespace dosattr = platform::dosattr;

constexpr int kCannotWrite = 5503;
constexpr int kSizeIncorrect = 5517;
constexpr int kAbortQuestion = 5509;

// The files of a directory, by name.
std::vector<std::string> namesIn(const fs::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class FileCopying : public CopyEngineFixture {
  protected:
    // The destination C:\Acme\<name> with content, dated an hour before its source would be.
    fs::path existing(const std::string& name, const std::string& content) {
        const fs::path file = host("C:\\Acme\\" + name);
        fs::create_directories(file.parent_path());
        writeFile(file, content);
        fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(1));
        return file;
    }
};

TEST_F(FileCopying, PlainFilesRoundTripWithTimesAndAttributes) {
    start(
        "[Files]\n0:readme.txt,readme.txt,RDONLY,5\n0:lib\\tool.dll,%App%\\bin\\,"
        "HIDDEN+USEFILENAME\n");
    const fs::path readme = source("readme.txt", "hello");
    source("lib/tool.dll", "MZ tool");
    fs::last_write_time(readme, fs::file_time_type::clock::now() - std::chrono::hours(48));
    Plan files = plan("Files");
    const auto installed = [&] {
        const fs::path copied = host("C:\\Acme\\readme.txt");
        EXPECT_EQ(readFile(copied), "hello");
        EXPECT_EQ(fs::last_write_time(copied), fs::last_write_time(readme));
        EXPECT_EQ(platform::fileAttributes(copied), dosattr::kReadOnly);
        const fs::path tool = host("C:\\Acme\\bin\\tool.dll");
        EXPECT_EQ(readFile(tool), "MZ tool");
        EXPECT_EQ(platform::fileAttributes(tool), dosattr::kHidden);
        ASSERT_EQ(followUps_.installedFiles.size(), 2u);
        EXPECT_EQ(followUps_.installedFiles[1].destination, "C:\\Acme\\bin\\tool.dll");
        EXPECT_FALSE(followUps_.installedFiles[1].existedBefore);
    };
    EXPECT_TRUE(installAndUninstall(context(), files, installed));
    EXPECT_TRUE(ui_.numbers().empty());
}

// A Linux program among the files runs from the root as it ran from the disk.
TEST_F(FileCopying, APlainSourcesExecuteBitsStay) {
    start("[Files]\n0:tool,tool\n0:owner,owner\n0:notes.txt,notes.txt\n");
    fs::permissions(source("tool", "#!/bin/sh\n"), fs::perms(0755));
    fs::permissions(source("owner", "#!/bin/sh\n"), fs::perms(0744));
    fs::permissions(source("notes.txt", "text"), fs::perms(0644));
    Plan files = plan("Files");
    const auto installed = [&] {
        const auto mode = [&](const char* name) {
            return static_cast<unsigned>(
                fs::status(host(std::string("C:\\Acme\\") + name)).permissions() & fs::perms::all);
        };
        const unsigned readable = static_cast<unsigned>(
            fs::status(host("C:\\Acme\\notes.txt")).permissions() & fs::perms::all);
        EXPECT_EQ(mode("tool"), readable | ((readable & 0444) >> 2));
        EXPECT_EQ(mode("owner"), readable | 0100);
        EXPECT_EQ(readable & 0111, 0u);
    };
    EXPECT_TRUE(installAndUninstall(context(), files, installed));
}

TEST_F(FileCopying, CabinetMemberGivesItsDateAndAttributes) {
    start("[Files]\n3:packed.dll,packed.dll,SYSTEM\n");
    const auto stamp = fs::file_time_type::clock::now() - std::chrono::hours(30);
    copy::CabinetMember member;
    member.attributes = dosattr::kReadOnly | dosattr::kArchive;
    sources_.members["packed.dll"] = {"MZ packed", member, stamp};
    ASSERT_TRUE(install("Files"));
    const fs::path copied = host("C:\\Acme\\packed.dll");
    EXPECT_EQ(readFile(copied), "MZ packed");
    EXPECT_EQ(fs::last_write_time(copied), stamp);
    EXPECT_EQ(platform::fileAttributes(copied),
              dosattr::kReadOnly | dosattr::kArchive | dosattr::kSystem);
    EXPECT_EQ(sources_.requests.at(0).disk, 3);
}

TEST_F(FileCopying, TakenTemporaryNamesArePassedOver) {
    start("[Files]\n0:data.txt,data.txt\n");
    source("data.txt", "new");
    existing("data.txt", "old");
    writeFile(host("C:\\Acme\\data.000"), "someone's");
    writeFile(host("C:\\Acme\\data.001"), "someone else's");
    ASSERT_TRUE(install("Files"));
    ASSERT_EQ(judge_.newFiles.size(), 1u);
    EXPECT_EQ(judge_.newFiles[0].filename(), "data.002");
    EXPECT_EQ(readFile(host("C:\\Acme\\data.txt")), "new");
    EXPECT_EQ(namesIn(host("C:\\Acme")),
              (std::vector<std::string>{"data.000", "data.001", "data.txt"}));
    EXPECT_EQ(readFile(host("C:\\Acme\\data.000")), "someone's");
}

TEST(TemporaryName, FitsWhereTheFinalNameFits) {
    EXPECT_EQ(copy::temporaryName("/r/dir/name.txt", 20, 7), "/r/dir/name.007");
    EXPECT_EQ(copy::temporaryName("/r/dir/noext", 20, 0), "/r/dir/noext.000");
    // A 255-byte name without extension would become 259 bytes: the base gives way.
    const std::string longName(255, 'n');
    const fs::path cut = copy::temporaryName("/r/" + longName, 270, 1);
    EXPECT_EQ(cut.filename().string(), std::string(251, 'n') + ".001");
    // So does it where the Windows path would pass 259 characters, and only there.
    const std::string name(40, 'w');
    EXPECT_EQ(copy::temporaryName("/r/" + name, 259, 2).filename(), std::string(36, 'w') + ".002");
    EXPECT_EQ(copy::temporaryName("/r/" + name, 255, 2).filename(), name + ".002");
}

TEST_F(FileCopying, EqualDateAndSizeIsSkippedUnlessUserInfoIsWritten) {
    start("[Files]\n0:same.txt,same.txt,,4\n0:info.txt,info.txt,SETUSERINFO,4\n");
    for (const char* name : {"same.txt", "info.txt"}) {
        const fs::path from = source(name, "data");
        const fs::path to = existing(name, "data");
        fs::last_write_time(to, fs::last_write_time(from));
    }
    ASSERT_TRUE(install("Files"));
    ASSERT_EQ(sources_.requests.size(), 1u);
    EXPECT_EQ(sources_.requests[0].name, "info.txt");
    // The skipped file counts on the meter as if copied.
    EXPECT_EQ(copier_->meter().done, 8u);
    EXPECT_EQ(progress_->view().percent, 100);

    // A size that differs from the expected one is copied again.
    start("[Files]\n0:same.txt,same.txt,,9\n");
    sources_.requests.clear();
    ui_.answer({buttons::kIgnore});
    ASSERT_TRUE(install("Files"));
    EXPECT_EQ(sources_.requests.size(), 1u);
}

TEST_F(FileCopying, UserInfoMarkersFoundAcrossBlocks) {
    start("[Files]\n0:app.bin,app.bin,SETUSERINFO\n0:app.bin,setup.exe,SETUSERINFO\n");
    std::string data(30700, 'x');
    const std::size_t userAt = data.size();  // the marker straddles the first block's end
    data += copy::kUserMarker;
    data += std::string(100, 'y');
    const std::size_t companyAt = data.size();
    data += copy::kCompanyMarker;
    data += "tail";
    source("app.bin", data);
    ASSERT_TRUE(install("Files"));
    const std::string copied = readFile(host("C:\\Acme\\app.bin"));
    ASSERT_EQ(copied.size(), data.size());
    EXPECT_EQ(copied.substr(userAt, 14), std::string("Alice Example\0", 14));
    EXPECT_EQ(copied.substr(userAt + 14, 36), data.substr(userAt + 14, 36));
    EXPECT_EQ(copied.substr(companyAt, 9), std::string("Acme Ltd\0", 9));
    EXPECT_EQ(copied.substr(0, userAt), data.substr(0, userAt));
    // SETUP.EXE is never searched.
    EXPECT_EQ(readFile(host("C:\\Acme\\setup.exe")), data);
}

TEST(UserInfoMarkerScan, FirstPositionsAnywhereInTheStream) {
    copy::UserInfoMarkers markers;
    const std::string data = "ab" + std::string(copy::kCompanyMarker) + "cd" +
                             std::string(copy::kUserMarker) + std::string(copy::kUserMarker);
    for (char c : data) markers.scan(std::as_bytes(std::span(&c, 1)));  // one byte a block
    EXPECT_EQ(markers.company(), 2u);
    EXPECT_EQ(markers.user(), 54u);
}

TEST_F(FileCopying, AppendKeepsTheDestinationAndUndoesAFailedWrite) {
    start("[Files]\n0:more.txt,log.txt,1\n");
    source("more.txt", "def\n");
    existing("log.txt", "abc\n");
    ASSERT_TRUE(install("Files"));
    EXPECT_EQ(readFile(host("C:\\Acme\\log.txt")), "abc\ndef\n");
    EXPECT_TRUE(judge_.newFiles.empty());

    FullDiskFiles full(2);
    start("[Files]\n0:more.txt,log.txt,APPEND\n0:more.txt,new.txt,APPEND\n", &full);
    EXPECT_FALSE(install("Files"));
    EXPECT_EQ(ui_.numbers().back(), kCannotWrite);
    EXPECT_EQ(readFile(host("C:\\Acme\\log.txt")), "abc\ndef\n");
    // A file the append made is gone again.
    start("[Files]\n0:more.txt,new.txt,APPEND\n", &full);
    EXPECT_FALSE(install("Files"));
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\new.txt")));
}

TEST_F(FileCopying, ReplaceVarsExpandsEveryLineAndKeepsLongOnes) {
    start("[Files]\n0:app.ini,app.ini,REPLACEVARS\n");
    const std::string longLine(300, 'a');
    source("app.ini", "Path=%App%\r\nUser=%User%\r\n" + longLine + "\nlast");
    ASSERT_TRUE(install("Files"));
    EXPECT_EQ(readFile(host("C:\\Acme\\app.ini")),
              "Path=C:\\Acme\r\nUser=Alice Example\r\n" + longLine + "\nlast");
}

TEST_F(FileCopying, FlagsOneAndExpandPlusReadOnlyEndToEnd) {
    start("Expand=0\n[Files]\n0:a.txt,a.txt,1\n0:b.txt,b.txt,EXPAND+RDONLY\n0:c.txt,c.txt\n");
    source("a.txt", "A");
    source("b.txt", "B");
    source("c.txt", "C");
    existing("a.txt", "before ");
    ASSERT_TRUE(install("Files"));
    EXPECT_EQ(readFile(host("C:\\Acme\\a.txt")), "before A");
    ASSERT_EQ(sources_.requests.size(), 3u);
    EXPECT_TRUE(sources_.requests[1].expand);
    EXPECT_FALSE(sources_.requests[2].expand);
    EXPECT_EQ(platform::fileAttributes(host("C:\\Acme\\b.txt")), dosattr::kReadOnly);
}

TEST_F(FileCopying, WrongSizeAsksWithTheRealSizeOnTheClipboard) {
    start("[Files]\n0:s.txt,s.txt,,10\n");
    source("s.txt", "12345");
    ui_.answer({buttons::kCancel});
    EXPECT_FALSE(install("Files"));
    ASSERT_EQ(ui_.numbers(), std::vector<int>{kSizeIncorrect});
    EXPECT_EQ(ui_.shown[0].box.text,
              "The size of the file 's.txt' is incorrectly specified in Setup.inf!\n\n10 Bytes "
              "expected size\n5 Bytes real size");
    EXPECT_EQ(ui_.clipboard, std::vector<std::string>{"5"});
    EXPECT_TRUE(namesIn(host("C:\\Acme")).empty());

    ui_.answer({buttons::kIgnore});
    EXPECT_TRUE(install("Files"));
    EXPECT_EQ(readFile(host("C:\\Acme\\s.txt")), "12345");

    // NOSIZEWARNING does not ask.
    start("[Files]\n0:s.txt,t.txt,NOSIZEWARNING,10\n");
    ui_.shown.clear();
    EXPECT_TRUE(install("Files"));
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(FileCopying, CancelInTheMiddleLeavesTheOldFile) {
    start("[Files]\n0:big.bin,big.bin\n");
    source("big.bin", std::string(100000, 'b'));
    existing("big.bin", "old");
    ui_.cancelAfterPolls = 2;  // the step's own poll, the first block, then Cancel
    ui_.answer({buttons::kYes});
    EXPECT_FALSE(install("Files"));
    EXPECT_TRUE(session_->run().abort);
    EXPECT_EQ(ui_.numbers(), std::vector<int>{kAbortQuestion});
    EXPECT_EQ(readFile(host("C:\\Acme\\big.bin")), "old");
    EXPECT_EQ(namesIn(host("C:\\Acme")), std::vector<std::string>{"big.bin"});
    // Every later file operation fails at once.
    EXPECT_FALSE(install("Files"));
}

TEST_F(FileCopying, FullDiskLeavesNothingHalfWritten) {
    FullDiskFiles full(1000);
    start("[Files]\n0:big.bin,big.bin\n0:new.bin,new.bin\n0:new.bin,new2.bin\n", &full);
    source("big.bin", std::string(5000, 'b'));
    source("new.bin", std::string(5000, 'n'));
    existing("big.bin", "old");
    EXPECT_FALSE(install("Files"));
    ASSERT_EQ(ui_.numbers(), std::vector<int>{kCannotWrite});
    // The message as it is written, the system's reason on a line of its own.
    EXPECT_EQ(ui_.shown[0].box.text,
              "Cannot write to file 'C:\\Acme\\big.bin'!\nNo space left on device");
    EXPECT_EQ(readFile(host("C:\\Acme\\big.bin")), "old");
    EXPECT_EQ(namesIn(host("C:\\Acme")), std::vector<std::string>{"big.bin"});
}

TEST_F(FileCopying, ReplacementDecisionAndFilesInUse) {
    start("[Files]\n0:lib.dll,lib.dll\n");
    source("lib.dll", "new");
    const fs::path destination = existing("lib.dll", "old");
    judge_.answer = copy::Replacement::Keep;
    ASSERT_TRUE(install("Files"));
    EXPECT_EQ(readFile(destination), "old");
    EXPECT_EQ(namesIn(destination.parent_path()), std::vector<std::string>{"lib.dll"});
    EXPECT_TRUE(followUps_.installedFiles.empty());

    // In use: the new file waits under its temporary name for the next start.
    judge_.answer = copy::Replacement::Replace;
    inUse_.busy.insert(destination);
    ASSERT_TRUE(install("Files"));
    ASSERT_EQ(inUse_.scheduled.size(), 1u);
    EXPECT_EQ(inUse_.scheduled[0].first, "C:\\Acme\\lib.000");
    EXPECT_EQ(inUse_.scheduled[0].second, "C:\\Acme\\lib.dll");
    EXPECT_EQ(readFile(destination), "old");
    EXPECT_EQ(readFile(host("C:\\Acme\\lib.000")), "new");
    EXPECT_TRUE(followUps_.installedFiles.at(0).existedBefore);

    // DONTREPLACE never touches an existing file; ALWAYS does not ask.
    start("[Files]\n0:lib.dll,lib.dll,DONTREPLACE\n0:lib.dll,other.dll,ALWAYS\n");
    inUse_.busy.clear();
    existing("other.dll", "older");
    judge_.newFiles.clear();
    ASSERT_TRUE(install("Files"));
    EXPECT_EQ(readFile(destination), "old");
    EXPECT_EQ(readFile(host("C:\\Acme\\other.dll")), "new");
    EXPECT_TRUE(judge_.newFiles.empty());
}

TEST_F(FileCopying, MissingSourcesAndTheHook) {
    start(
        "[Files]\n0:gone.txt,gone.txt,OPTIONAL\n0:there.txt,there.txt,SETUPHOOK\n"
        "0:gone.txt,gone.txt\n");
    source("there.txt", "x");
    EXPECT_FALSE(install("Files"));
    EXPECT_EQ(ui_.numbers(), std::vector<int>{5560});
    EXPECT_EQ(ui_.shown[0].box.text,
              "Cannot find file 'gone.txt' in cabinet 'C:\\setup\\Setup.cab'!");
    EXPECT_EQ(hook_.calls, (std::vector<std::pair<int, std::string>>{{2, "C:\\Acme\\gone.txt"},
                                                                     {2, "C:\\Acme\\there.txt"},
                                                                     {3, "C:\\Acme\\there.txt"},
                                                                     {2, "C:\\Acme\\gone.txt"}}));

    // The extension's 0 before a copy skips the file.
    start("[Files]\n0:there.txt,skipped.txt\n");
    hook_.answer = 0;
    EXPECT_TRUE(install("Files"));
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\skipped.txt")));
}

// Names Windows refuses are refused here too, with the file's message and why, and nothing
// of them is made; a section stops there as at any file that cannot be made.
TEST_F(FileCopying, NamesWindowsRefusesAreNotMade) {
    const std::string reason =
        "\nWindows names cannot hold the characters \" * ? < > | or control characters.";
    for (const std::string destination :
         {"a|b.txt", "what?.txt", "<x>.txt", "sub\"dir\\x.txt", "star*.txt", "tab\tname.txt"}) {
        start("[Files]\n0:x.txt,'" + destination + "'\n");
        source("x.txt", "x");
        ui_.shown.clear();
        EXPECT_FALSE(install("Files")) << destination;
        ASSERT_EQ(ui_.numbers(), std::vector<int>{messages::kCannotCreateFile}) << destination;
        EXPECT_EQ(ui_.shown[0].box.text,
                  "Cannot create file 'C:\\Acme\\" + destination + "'!" + reason);
    }
    EXPECT_FALSE(fs::exists(host("C:\\Acme")));

    start("[Files]\n0:x.txt,Logs|Old\\,CREATE|DIRECTORY\n");
    ui_.shown.clear();
    EXPECT_FALSE(install("Files"));
    ASSERT_EQ(ui_.numbers(), std::vector<int>{5507});
    EXPECT_EQ(ui_.shown[0].box.text, "Cannot create directory 'C:\\Acme\\Logs|Old'!" + reason);
    EXPECT_FALSE(fs::exists(host("C:\\Acme")));
}

}  // namespace
}  // namespace kestrel::setup::test
