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
    EXPECT_EQ(SessionArguments({"p", "-cremote control"}).viewerEntries()[1], "-cremote control");
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
