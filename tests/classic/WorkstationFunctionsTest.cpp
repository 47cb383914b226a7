// The buttons: Remote Control, Workstation NDS Infos, IP Ping, WakeUp PC, the start-context
// functions and the desktop shortcut.
#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "ClassicFixture.h"
#include "ProfileFile.h"
#include "platform/ShellLink.h"
#include "platform/WineDrives.h"

namespace kestrel::classic::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class WorkstationFunctionsTest : public ClassicTest {
  protected:
    void SetUp() override {
        ClassicTest::SetUp();
        login();
    }
    ItemId openWs10() {
        startBrowser();
        return open({"O=Acme", "OU=Sales", "CN=WS10"});
    }
};

TEST_F(WorkstationFunctionsTest, RemoteControlReportsAMissingViewer) {
    openWs10();
    startResult_ = platform::StartError::FileNotFound;
    browser_->remoteControl();
    startResult_ = platform::StartError::PathNotFound;
    browser_->remoteControl();
    startResult_ = platform::StartError::AccessDenied;
    browser_->remoteControl();
    EXPECT_EQ(started_.size(), 3u);
    EXPECT_THAT(ui_.messages, ElementsAre("Remote Control Executable not found!",
                                          "Path for Remote Control Executable not found!"));
}

TEST_F(WorkstationFunctionsTest, WorkstationInfosReadEverythingInOrder) {
    openWs10();
    browser_->workstationInfos();
    ASSERT_TRUE(ui_.info.has_value());
    const WorkstationInfo& info = *ui_.info;
    EXPECT_EQ(info.objectName, ".CN=WS10.OU=Sales.O=Acme");
    EXPECT_EQ(info.computerName, "WS10");
    EXPECT_THAT(info.networkAddresses, ElementsAre("01010000:0060B050F1AC:4006", "127.0.1.10"));
    EXPECT_EQ(info.lastRegistered, "29-Jul-1998 17:12:20");
    EXPECT_THAT(info.userHistory, ElementsAre("CN=jdoe.OU=Sales.O=Acme", "CN=Demo.OU=IT.O=Acme"));
    EXPECT_EQ(info.computerOs, "WINNT");
    EXPECT_EQ(info.physicalMemory, "100663296");
    EXPECT_THAT(ui_.messages, IsEmpty());
    EXPECT_EQ(ui_.waitCursorDepth, 0);
}

TEST_F(WorkstationFunctionsTest, WorkstationInfosStopAtTheFirstError) {
    startBrowser();
    open({"O=Acme", "OU=IT", "CN=IT-SPARE"});
    browser_->workstationInfos();
    ASSERT_TRUE(ui_.info.has_value());
    EXPECT_EQ(ui_.info->computerName, "ERROR");
    EXPECT_THAT(ui_.info->networkAddresses, IsEmpty());
    EXPECT_EQ(ui_.info->computerOs, "");
    // The help desk's machine: a long history, read value by value.
    open({"O=Acme", "OU=IT", "CN=IT03"});
    browser_->workstationInfos();
    EXPECT_EQ(ui_.info->userHistory.size(), 30u);
}

TEST_F(WorkstationFunctionsTest, PingSendsOneEmptyEchoWithAShortTimeout) {
    openWs10();
    echo_.result = {platform::EchoStatus::Reply, 15, 128, "", ""};
    browser_->ipPing();
    ASSERT_EQ(echo_.requests.size(), 1u);
    EXPECT_EQ(echo_.requests[0].address, inet_addr("127.0.1.10"));
    EXPECT_EQ(echo_.requests[0].payload, "");
    EXPECT_EQ(echo_.requests[0].timeout, std::chrono::milliseconds(500));
    echo_.result = {platform::EchoStatus::TimedOut, -1, 0, "", ""};
    browser_->ipPing();
    EXPECT_THAT(ui_.messages, ElementsAre("Reply from 127.0.1.10: Time= 15ms  TTL=128",
                                          "Request to 127.0.1.10 timed out."));
}

TEST_F(WorkstationFunctionsTest, PingNeverSendsToWhatIsNoHostAddress) {
    startBrowser();
    open({"O=Acme", "OU=Sales", "CN=WS42"});  // its address is no text: ""
    browser_->ipPing();
    open({"O=Acme", "OU=IT", "CN=IT-SPARE"});  // no address at all
    browser_->ipPing();
    EXPECT_THAT(echo_.requests, IsEmpty());
    EXPECT_THAT(ui_.messages,
                ElementsAre("Request not sent: no IP address could be read for the workstation.",
                            "Could not read IP Address!"));
}

// A UDP socket on all local addresses at a free port, as the workstation would listen.
class Listener {
  public:
    Listener() {
        fd_ = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_ANY);
        bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~Listener() { close(fd_); }
    std::uint16_t port() const { return port_; }
    std::vector<std::uint8_t> receive() {
        pollfd ready{fd_, POLLIN, 0};
        if (poll(&ready, 1, 2000) != 1) return {};
        std::vector<std::uint8_t> bytes(2048);
        ssize_t got = recv(fd_, bytes.data(), bytes.size(), 0);
        bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        return bytes;
    }

  private:
    int fd_ = -1;
    std::uint16_t port_ = 0;
};

TEST_F(WorkstationFunctionsTest, WakeUpSendsTheDatagramToTheWorkstationsAddress) {
    Listener workstation;
    ports_ = {0, workstation.port()};
    openWs10();
    browser_->wakeUp();
    std::vector<std::uint8_t> expected(6, 0xFF);
    for (int i = 0; i < 16; ++i)
        expected.insert(expected.end(), {0x00, 0x60, 0xB0, 0x50, 0xF1, 0xAC});
    expected.insert(expected.end(), 6, 0xFF);
    expected.push_back(0x00);
    EXPECT_EQ(workstation.receive(), expected);
    EXPECT_THAT(ui_.messages, ElementsAre("109 Bytes send to IP Address: 127.0.1.10"));
}

// The window staying open is checked with the Qt front end; here the message.
TEST_F(WorkstationFunctionsTest, WakeUpWithoutAnIpAddressSaysBadIpAddress) {
    startBrowser("C=DE");
    open({"S=Hessen", "L=Frankfurt", "O=Acme Logistik", "OU=Warehouse", "CN=FFM05"});
    browser_->wakeUp();
    EXPECT_THAT(ui_.messages, ElementsAre("Bad IP address."));
}

TEST_F(WorkstationFunctionsTest, WakeUpWithoutAnyAddressSaysSo) {
    startBrowser();
    open({"O=Acme", "OU=IT", "CN=IT-SPARE"});
    browser_->wakeUp();
    EXPECT_THAT(ui_.messages, ElementsAre("Could not read IP Address!"));
}

TEST_F(WorkstationFunctionsTest, ChangeStartContextNormalisesAndChecksTheText) {
    startBrowser();
    ItemId sales = open({"O=Acme", "OU=Sales"});
    ui_.newContext = "o=acme";
    browser_->changeStartContext();
    EXPECT_THAT(ui_.contextsOffered, ElementsAre("OU=Sales.O=Acme"));
    EXPECT_FALSE(browser_->tree().contains(sales));
    EXPECT_EQ(browser_->tree().text(browser_->tree().top()), "O=acme");
    EXPECT_EQ(browser_->tree().image(browser_->tree().top()), 2);

    ui_.newContext = "s=hessen.c=de";
    browser_->changeStartContext();
    EXPECT_EQ(browser_->tree().text(browser_->tree().top()), "S=hessen.C=de");

    ui_.newContext = "Sales.Acme";
    browser_->changeStartContext();
    EXPECT_THAT(ui_.messages, ElementsAre("The context MUST start with C=, L=, S=, O= or OU=!"));
    EXPECT_EQ(browser_->tree().text(browser_->tree().top()), "S=hessen.C=de");
}

TEST_F(WorkstationFunctionsTest, ContextFunctionsIgnoreWorkstations) {
    openWs10();
    browser_->changeStartContext();
    browser_->saveStartContext();
    EXPECT_THAT(ui_.contextsOffered, IsEmpty());
}

TEST_F(WorkstationFunctionsTest, SaveStartContextWritesTheSettings) {
    startBrowser();
    open({"O=Acme", "OU=Sales"});
    ui_.save = false;
    browser_->saveStartContext();
    EXPECT_EQ(readStartContext(profile()), "");
    ui_.save = true;
    browser_->saveStartContext();
    EXPECT_EQ(readStartContext(profile()), "OU=Sales.O=Acme");
    EXPECT_NE(kestrel::test::readFile(profile()).find("[NDS Settings]"), std::string::npos);
}

TEST_F(WorkstationFunctionsTest, ShortcutStartsTheViewerAgainstTheWorkstation) {
    openWs10();
    browser_->createShortcut();
    auto file = root_ / "profile/Desktop/Z.E.N.works Remote Control/CN=WS10.OU=Sales.O=Acme.lnk";
    auto link = platform::readShellLink(file);
    ASSERT_TRUE(link.has_value());
    EXPECT_EQ(link->arguments,
              "-s\"Zen\" -w\"CN=WS10.OU=Sales.O=Acme\" -n\"ACME_TREE\" -c\"Remote Control\"");
    EXPECT_EQ(link->target,
              platform::windowsPathOf(std::filesystem::current_path() / "WVIEWNT.EXE"));
    EXPECT_THAT(ui_.messages, ElementsAre("Shortcut has been created for \nCN=WS10.OU=Sales.O=Acme"
                                          "\nin Desktop Folder 'Z.E.N.works Remote Control'"));
}

// Names no file may carry: the workstation's own, or one of its containers'.
TEST_F(WorkstationFunctionsTest, ShortcutForAStarredNameOffersTheItemsOwnText) {
    kestrel::test::writeFile(root_ / "star.json", R"({ "trees": [ { "name": "ACME_TREE",
        "objects": [ { "name": "O=Acme", "class": "Organization" },
          { "name": "CN=WS*1.O=Acme", "class": "Workstation" },
          { "name": "OU=Lab*2.O=Acme", "class": "Organizational Unit" },
          { "name": "CN=WS2.OU=Lab*2.O=Acme", "class": "Workstation" } ] } ] })");
    useDirectory(root_ / "star.json");
    startBrowser();
    auto folder = root_ / "profile/Desktop/Z.E.N.works Remote Control";

    open({"O=Acme", "CN=WS*1"});
    browser_->createShortcut();  // Yes, but the item's own text is no file name either
    EXPECT_THAT(ui_.questions, ElementsAre("Shortcuts with characters like * are not allowed!\n\n"
                                           "Should I create the shortcut CN=WS*1\n"
                                           "instead of CN=WS*1.O=Acme?"));
    EXPECT_TRUE(std::filesystem::is_empty(folder));

    open({"O=Acme", "OU=Lab*2", "CN=WS2"});
    ui_.answerYes = false;
    browser_->createShortcut();
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    ui_.answerYes = true;
    browser_->createShortcut();
    auto link = platform::readShellLink(folder / "CN=WS2.lnk");
    ASSERT_TRUE(link.has_value());
    EXPECT_EQ(link->arguments,
              "-s\"Zen\" -w\"CN=WS2.OU=Lab*2.O=Acme\" -n\"ACME_TREE\" -c\"Remote Control\"");
    EXPECT_THAT(ui_.messages,
                ElementsAre("Shortcut for \nCN=WS*1\ncould not be created in Desktop Folder "
                            "'Z.E.N.works Remote Control': the name holds a character that file "
                            "names may not hold!",
                            "Shortcut has been created for \nCN=WS2.OU=Lab*2.O=Acme"
                            "\nin Desktop Folder 'Z.E.N.works Remote Control'"));
}

TEST_F(WorkstationFunctionsTest, AShortcutThatCannotBeSavedSaysWhy) {
    // A file where the shortcuts' folder belongs.
    std::filesystem::create_directories(root_ / "profile/Desktop");
    kestrel::test::writeFile(root_ / "profile/Desktop/Z.E.N.works Remote Control", "in the way");
    openWs10();
    browser_->createShortcut();
    EXPECT_THAT(ui_.messages,
                ElementsAre("Shortcut for \nCN=WS10.OU=Sales.O=Acme\ncould not be created in "
                            "Desktop Folder 'Z.E.N.works Remote Control': Not a directory!"));
}

}  // namespace
}  // namespace kestrel::classic::test
