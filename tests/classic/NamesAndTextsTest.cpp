// The plain rules: context prefixes, command lines, time texts, the Wake-on-LAN datagram,
// the settings file's name and the automation registration.
#include <gtest/gtest.h>

#include "AutomationRegistration.h"
#include "ContextNames.h"
#include "GermanTime.h"
#include "ProfileFile.h"
#include "RemoteControlCommand.h"
#include "TestSupport.h"
#include "WakeOnLan.h"
#include "platform/CommandLine.h"

namespace kestrel::classic {
namespace {

TEST(ContextNames, NormalisesLowerCasePrefixesEverywhere) {
    EXPECT_EQ(normalizePrefixes("o=acme"), "O=acme");
    EXPECT_EQ(normalizePrefixes("ou=a.ou=b.o=acme"), "OU=a.OU=b.O=acme");
    EXPECT_EQ(normalizePrefixes("l=frankfurt.s=hessen.c=de"), "L=frankfurt.S=hessen.C=de");
    EXPECT_EQ(normalizePrefixes("[Root]"), "[Root]");
}

TEST(ContextNames, CommandLineRefusesStatesThatDialogsAccept) {
    EXPECT_FALSE(hasCommandLinePrefix("S=Hessen.C=DE"));
    EXPECT_TRUE(hasContextPrefix("S=Hessen.C=DE"));
    for (const char* accepted : {"[Root]", "C=DE", "L=Munich.O=Acme", "O=Acme", "OU=Sales.O=Acme"})
        EXPECT_TRUE(hasCommandLinePrefix(accepted) && hasContextPrefix(accepted)) << accepted;
    for (const char* refused : {"", "CN=WS1.O=Acme", "o=acme", "Sales"})
        EXPECT_FALSE(hasContextPrefix(refused)) << refused;
}

TEST(ContextNames, StartContextIsTheTextBeforeTheFirstSwitch) {
    EXPECT_EQ(commandLineStartContext("/nosave"), "");
    EXPECT_EQ(commandLineStartContext("OU=Sales.O=Acme /nosave /nocreate"), "OU=Sales.O=Acme");
    EXPECT_EQ(commandLineStartContext("O=Acme"), "O=Acme");
    EXPECT_EQ(commandLineStartContext(""), "");
}

TEST(ContextNames, OneLevelUpEndsAtRoot) {
    EXPECT_EQ(parentContext(parentContext("OU=A.OU=B.O=C")), "O=C");
    EXPECT_EQ(parentContext("O=C"), "[Root]");
}

TEST(GermanTime, ShowsGermanMonthsOnA24HourClock) {
    kestrel::test::ScopedEnv utc("TZ", "UTC");
    EXPECT_EQ(germanTimeText(939893400), "14-Okt-1999 09:30:00");
    EXPECT_EQ(germanTimeText(939910509), "14-Okt-1999 14:15:09");
    EXPECT_EQ(germanTimeText(925517400), "01-Mai-1999 00:10:00");
    EXPECT_EQ(germanTimeText(946598400), "31-Dez-1999 00:00:00");
}

TEST(RemoteControlCommand, NamesTheWorkstationByItsTypedFullName) {
    EXPECT_EQ(
        remoteControlCommandLine("CN=WS17.OU=Sales.O=Acme", "ACME_TREE", CommandForm::WithProgram),
        "WVIEWNT.EXE -s\"Zen\" -w\"CN=WS17.OU=Sales.O=Acme\" -n\"ACME_TREE\" "
        "-c\"Remote Control\"");
    EXPECT_EQ(remoteControlCommandLine("CN=WS1.O=Acme", "T", CommandForm::ForShortcut),
              "-s\"Zen\" -w\"CN=WS1.O=Acme\" -n\"T\" -c\"Remote Control\"");
}

TEST(RemoteControlCommand, QuotesInNamesStayInsideTheirValue) {
    std::string hostile = "CN=a\" -c\"Chat\\";
    auto argv = platform::splitCommandLine(
        remoteControlCommandLine(hostile, "T", CommandForm::WithProgram));
    ASSERT_EQ(argv.size(), 5u);
    EXPECT_EQ(argv[2], "-w" + hostile);
    EXPECT_EQ(argv[4], "-cRemote Control");
}

TEST(WakeOnLan, HardwareAddressIsTheIpxNodeNumberInEitherCase) {
    HardwareAddress expected{0x00, 0xA0, 0xC9, 0x12, 0x34, 0x56};
    EXPECT_EQ(hardwareAddressFromIpx("01010000:00A0C9123456:4006"), expected);
    EXPECT_EQ(hardwareAddressFromIpx("01010000:00a0c9123456:4006"), expected);
    EXPECT_EQ(hardwareAddressFromIpx("01010000:00A0C912345"), std::nullopt);
    EXPECT_EQ(hardwareAddressFromIpx("01010000:00G0C9123456"), std::nullopt);
    EXPECT_EQ(hardwareAddressFromIpx(""), std::nullopt);
}

TEST(WakeOnLan, DatagramHasTheFixedLayout) {
    HardwareAddress address{1, 2, 3, 4, 5, 6};
    auto datagram = wakeOnLanDatagram(address);
    ASSERT_EQ(datagram.size(), kWakeOnLanSize);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(datagram[i], 0xFF);
        EXPECT_EQ(datagram[102 + i], 0xFF);
    }
    for (int copy = 0; copy < 16; ++copy)
        for (int i = 0; i < 6; ++i) EXPECT_EQ(datagram[6 + 6 * copy + i], address[i]);
    EXPECT_EQ(datagram[108], 0x00);
}

TEST(ProfileFile, IsNamedAfterTheProgramWithoutTheEditionSuffix) {
    EXPECT_EQ(profileFileFor("/opt/kestrel/bin/kestrelscope-classic").filename(),
              "KESTRELSCOPE.INI");
    EXPECT_EQ(profileFileFor("/usr/bin/netscope").filename(), "NETSCOPE.INI");
    EXPECT_EQ(profileFileFor("/x/Kestrelscope.exe").filename(), "KESTRELSCOPE.INI");
}

TEST(Automation, RecognisesTheServerSwitchesAsWholeWords) {
    EXPECT_TRUE(isAutomationStart("/Automation"));
    EXPECT_TRUE(isAutomationStart("O=Acme /embedding"));
    EXPECT_FALSE(isAutomationStart("/nosave"));
    EXPECT_FALSE(isAutomationStart("OU=/Automationen"));
}

TEST(Automation, ActivationFileStartsTheProgramAsServer) {
    kestrel::test::TempDir data;
    kestrel::test::ScopedEnv home("XDG_DATA_HOME", data.path().string());
    ASSERT_FALSE(updateActivationFile("/opt/it's here/kestrelscope-classic"));
    auto file = data / "dbus-1/services/Kestrelscope.Application.service";
    EXPECT_EQ(activationFile(), file);
    std::string text = kestrel::test::readFile(file);
    EXPECT_NE(text.find("[D-BUS Service]\nName=Kestrelscope.Application\n"), std::string::npos);
    EXPECT_NE(text.find("Exec='/opt/it'\\''s here/kestrelscope-classic' /Automation\n"),
              std::string::npos);
    EXPECT_NE(text.find("{3ADEB2F0-A4E4-11D2-BDB4-0080C70ECDA6}"), std::string::npos);
    // The user's own, as everything the network tools keep.
    namespace fs = std::filesystem;
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fs::status(file.parent_path()).permissions(), fs::perms::owner_all);
    // A second start leaves an unchanged file alone.
    auto stamp = std::filesystem::last_write_time(file);
    ASSERT_FALSE(updateActivationFile("/opt/it's here/kestrelscope-classic"));
    EXPECT_EQ(std::filesystem::last_write_time(file), stamp);
}

}  // namespace
}  // namespace kestrel::classic
