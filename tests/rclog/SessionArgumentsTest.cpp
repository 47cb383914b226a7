// Roles, log fields and the viewer's entries taken from the caller's arguments.
#include <gtest/gtest.h>

#include "SessionArguments.h"
#include "platform/CommandLine.h"

namespace kestrel::rclog {
namespace {

using Entries = std::vector<std::string>;

TEST(SessionArguments, TheWorkstationCommandLineOfTheBrowser) {
    const SessionArguments args(
        {"C:\\ZEN\\WVIEWNT.EXE", "-wWS1.OU1.O1", "-cRemote Control", "-nTREE1"});
    EXPECT_EQ(args.target(), "WS1.OU1.O1");
    EXPECT_EQ(args.action(), "Remote Control");
    EXPECT_EQ(args.tree(), "TREE1");
    EXPECT_EQ(args.viewerEntries(), (Entries{"C:\\ZEN\\WVIEWNT.EXE", "-w\"WS1.OU1.O1\"",
                                             "-c\"Remote Control\"", "-nTREE1"}));
    const std::string line = platform::joinWithBlanks(args.viewerEntries());
    EXPECT_EQ(line, "C:\\ZEN\\WVIEWNT.EXE -w\"WS1.OU1.O1\" -c\"Remote Control\" -nTREE1");
    EXPECT_EQ(platform::splitCommandLine(line),
              (Entries{"C:\\ZEN\\WVIEWNT.EXE", "-wWS1.OU1.O1", "-cRemote Control", "-nTREE1"}));
    EXPECT_EQ(args.summary(),
              "argc = 4\n| C:\\ZEN\\WVIEWNT.EXE | -wWS1.OU1.O1 | -cRemote Control | -nTREE1 | ");
    EXPECT_EQ(args.indexSummary(), "argc = 4\nActionIndex = 2\nTreeIndex = 3\nTargetIndex = 1");
}

TEST(SessionArguments, ActionRewriteRespectsCase) {
    // Not rewritten, only quoted so that it stays one argument.
    EXPECT_EQ(SessionArguments({"p", "-cremote control"}).viewerEntries()[1],
              "\"-cremote control\"");
    EXPECT_EQ(SessionArguments({"p", "-cRemote View"}).viewerEntries()[1], "-c\"Remote View\"");
    EXPECT_EQ(SessionArguments({"p", "-c Remote Controlled "}).viewerEntries()[1],
              "-c\"Remote Control\"");
    EXPECT_EQ(SessionArguments({"p", "-cRemoteView"}).viewerEntries()[1], "-cRemoteView");
    EXPECT_EQ(SessionArguments({"p", "-cremote control"}).action(), "remote control");
}

TEST(SessionArguments, SwitchesIgnoreCaseAndTheLastOneWins) {
    const SessionArguments args({"-Wfirst", "-W WS7.Sales ", "-Nx", "-Ctext", "-ntree\r\n"});
    EXPECT_EQ(args.targetIndex(), 1);
    EXPECT_EQ(args.target(), "WS7.Sales");
    EXPECT_EQ(args.tree(), "tree");
    EXPECT_EQ(args.treeIndex(), 4);
    EXPECT_EQ(args.viewerEntries()[0], "-Wfirst");  // argument 0 counts, but lost its role
    EXPECT_EQ(args.viewerEntries()[1], "-w\"WS7.Sales\"");
}

TEST(SessionArguments, MissingRolesAreUnknownAndNoTargetIsPassedOn) {
    const SessionArguments args({"prog", "-x"});
    EXPECT_EQ(args.target(), "Unknown");
    EXPECT_EQ(args.action(), "Unknown");
    EXPECT_EQ(args.tree(), "Unknown");
    EXPECT_EQ(args.indexSummary(), "argc = 2\nActionIndex = 14\nTreeIndex = 14\nTargetIndex = 14");
    EXPECT_EQ(args.viewerEntries(), (Entries{"prog", "-x"}));
    EXPECT_EQ(SessionArguments({}).viewerEntries(), Entries{});
    EXPECT_EQ(SessionArguments({"p", "-w"}).target(), "");
}

// What the viewer's runtime makes of the command line the entries form.
Entries viewerArgv(const Entries& entries) {
    return platform::splitCommandLine(
        platform::joinWithBlanks(SessionArguments(entries).viewerEntries()));
}

// A workstation name is the caller's text: whatever it holds stays inside the -w entry, as
// the logs record it.
TEST(SessionArguments, TargetCannotChangeTheViewersArguments) {
    EXPECT_EQ(viewerArgv({"p", R"(-wWS1" -cEvil -x")", "-nT"}),
              (Entries{"p", R"(-wWS1" -cEvil -x")", "-nT"}));
    EXPECT_EQ(viewerArgv({"p", R"(-wWS1\)", "-cRemote View"}),
              (Entries{"p", R"(-wWS1\)", "-cRemote View"}));
    EXPECT_EQ(SessionArguments({"p", R"(-wA"B\)"}).viewerEntries()[1], R"(-w"A\"B\\")");
    EXPECT_EQ(SessionArguments({"p", R"(-wWS1" -cEvil -x")"}).target(), R"(WS1" -cEvil -x")");
}

TEST(SessionArguments, EveryEntryReachesTheViewerWhole) {
    EXPECT_EQ(viewerArgv({"/opt/remote tools/WVIEWNT.EXE", "-cremote control", "-nMY TREE", "-ip",
                          "", "tab\there"}),
              (Entries{"/opt/remote tools/WVIEWNT.EXE", "-cremote control", "-nMY TREE", "-ip", "",
                       "tab\there"}));
    // Entries that need no quotes are passed as the caller gave them.
    EXPECT_EQ(SessionArguments({"/opt/zen/WVIEWNT.EXE", "-nTREE1", "-x"}).viewerEntries(),
              (Entries{"/opt/zen/WVIEWNT.EXE", "-nTREE1", "-x"}));
    EXPECT_EQ(SessionArguments({"/opt/remote tools/WVIEWNT.EXE"}).viewerEntries()[0],
              "\"/opt/remote tools/WVIEWNT.EXE\"");
}

TEST(SessionArguments, FieldsKeepToTheirLimits) {
    const SessionArguments args({"p", "-w" + std::string(300, 't'), "-c" + std::string(150, 'a')});
    EXPECT_EQ(args.target().size(), 259U);
    EXPECT_EQ(args.action().size(), 99U);
    EXPECT_EQ(args.viewerEntries()[1], "-w\"" + std::string(259, 't') + "\"");
    // A character is never cut in half.
    std::string umlauts;
    for (int i = 0; i < 130; ++i) umlauts += "\xC3\xA4";
    EXPECT_EQ(SessionArguments({"p", "-w" + umlauts}).target().size(), 258U);
}

}  // namespace
}  // namespace kestrel::rclog
