#include <gtest/gtest.h>

#include "TreeTexts.h"
#include "window/DialogStates.h"
#include "window/TreeImages.h"
#include "window/TreeModel.h"
#include "window/TreeNames.h"

namespace kestrel::browser::test {
namespace {

// Records what a view would be told.
struct RecordingObserver : TreeObserver {
    void treeReset(const TreeItem* top) override {
        events.push_back(top ? "reset " + top->text() : "reset");
    }
    void childrenInserted(const TreeItem& parent) override {
        events.push_back("insert " + parent.text());
    }
    void itemExpanded(const TreeItem& item) override { events.push_back("expand " + item.text()); }
    void selectionChanged(const TreeItem* item) override {
        events.push_back("select " + (item ? item->text() : "-"));
    }
    Texts events;
};

// Builds O=Acme > OU=Sales > OU=East > WS20 below a top item.
struct Branch {
    explicit Branch(const std::string& topText) : top(&model.reset(topText, 0)) {
        model.insertSorted(*top, {{"O=Acme", 2}});
        acme = &top->child(0);
        model.insertSorted(*acme, {{"OU=Sales", 3}, {"NB1", 16}});
        sales = &acme->child(1);
        model.insertSorted(*sales, {{"OU=East", 3}});
        east = &sales->child(0);
        model.insertSorted(*east, {{"WS20", 16}});
        ws = &east->child(0);
    }
    TreeModel model;
    TreeItem* top;
    TreeItem* acme;
    TreeItem* sales;
    TreeItem* east;
    TreeItem* ws;
};

TEST(TreeOrder, ChildrenSortAscendingWhateverTheDirectoryOrder) {
    TreeModel model;
    TreeItem& top = model.reset("O=Acme", kImageOrganization);
    model.insertSorted(top, {{"PC1", 16}, {"OU=Sales", 3}, {"NB1", 16}});
    EXPECT_EQ(childTexts(top), (Texts{"NB1", "OU=Sales", "PC1"}));
    EXPECT_EQ(top.child(1).image(), kImageOrganizationalUnit);
    EXPECT_EQ(top.child(1).parent(), &top);

    // Letters compare without regard to case; texts equal but for case keep a fixed order,
    // and equal texts stay in the order they arrived, after the children already there.
    model.insertSorted(top, {{"pc7", 16}, {"WS31", 16}, {"Pc5", 16}, {"PC1", 17}, {"ou=lab", 3}});
    EXPECT_EQ(childTexts(top),
              (Texts{"NB1", "ou=lab", "OU=Sales", "PC1", "PC1", "Pc5", "pc7", "WS31"}));
    EXPECT_EQ(top.child(3).image(), 16);
    EXPECT_EQ(top.child(4).image(), 17);
    EXPECT_TRUE(sortsBefore("OU=Lab", "ou=lab"));
    EXPECT_FALSE(sortsBefore("abc", "abc"));
    EXPECT_TRUE(sortsBefore("ab", "abc"));
    // Bytes beyond ASCII come after every ASCII letter, whatever the sign of char.
    EXPECT_TRUE(sortsBefore("zeta", "\xC3\x89mile"));
    EXPECT_FALSE(sortsBefore("\xC3\x89mile", "Zeta"));
    EXPECT_TRUE(sortsBefore("\xC3\x89mile", "\xC3\xA9mile"));
}

TEST(TreeOrder, ObserverHearsResetInsertExpandAndSelect) {
    TreeModel model;
    RecordingObserver observer;
    model.setObserver(&observer);
    TreeItem& top = model.reset("[Root]", kImageRoot);
    model.select(&top);
    model.select(&top);  // no change, no event
    model.insertSorted(top, {});
    model.insertSorted(top, {{"O=Acme", 2}});
    model.expand(top);
    model.clear();
    EXPECT_EQ(observer.events,
              (Texts{"reset [Root]", "select [Root]", "insert [Root]", "expand [Root]", "reset"}));
    EXPECT_EQ(model.top(), nullptr);
    EXPECT_EQ(model.selected(), nullptr);
}

TEST(TreeNames, ContainerNameStopsAtRootAndAtTheStartContext) {
    Branch root("[Root]");
    EXPECT_EQ(containerName(*root.top, "[Root]"), "[Root]");
    EXPECT_EQ(containerName(*root.acme, "[Root]"), "O=Acme");
    EXPECT_EQ(containerName(*root.east, "[Root]"), "OU=East.OU=Sales.O=Acme");

    Branch dotted("OU=WS.O=Acme");
    EXPECT_EQ(containerName(*dotted.top, "OU=WS.O=Acme"), "OU=WS.O=Acme");
    EXPECT_EQ(containerName(*dotted.acme, "OU=WS.O=Acme"), "O=Acme.OU=WS.O=Acme");
    EXPECT_EQ(containerName(*dotted.sales, "OU=WS.O=Acme"), "OU=Sales.O=Acme.OU=WS.O=Acme");
    // An ancestor that equals the current start context ends the walk early.
    EXPECT_EQ(containerName(*dotted.east, "O=Acme"), "OU=East.OU=Sales.O=Acme");
}

TEST(TreeNames, TypedFullNameGivesWorkstationsTheirPrefix) {
    Branch root("[Root]");
    EXPECT_EQ(typedFullName(*root.ws), "CN=WS20.OU=East.OU=Sales.O=Acme");
    EXPECT_EQ(typedFullName(*root.acme), "O=Acme");
    EXPECT_EQ(typedFullName(*root.top), "[Root]");

    Branch dotted("OU=WS.O=Acme");
    EXPECT_EQ(typedFullName(*dotted.acme), "O=Acme.OU=WS.O=Acme");
    EXPECT_EQ(typedFullName(dotted.acme->child(0)), "CN=NB1.O=Acme.OU=WS.O=Acme");

    TreeModel model;
    TreeItem& top = model.reset("S=Hessen.C=DE", kImageLocality);
    model.insertSorted(top, {{"L=Frankfurt", kImageLocality}});
    EXPECT_EQ(typedFullName(top.child(0)), "L=Frankfurt.S=Hessen.C=DE");
    // Only a child can be a workstation: a top item keeps its text.
    EXPECT_EQ(typedFullName(model.reset("WS1", kImageUnknown)), "WS1");
}

TEST(TreeNames, TypelessNameDropsEveryPrefixAndKeepsTheFullStops) {
    // WS17 below OU=Sales below a top item O=Acme.
    TreeModel model;
    TreeItem& acme = model.reset("O=Acme", kImageOrganization);
    model.insertSorted(acme, {{"OU=Sales", kImageOrganizationalUnit}});
    model.insertSorted(acme.child(0), {{"WS17", kImageWorkstation}});
    const TreeItem& ws17 = acme.child(0).child(0);
    EXPECT_EQ(typedFullName(ws17), "CN=WS17.OU=Sales.O=Acme");
    EXPECT_EQ(typelessName(typedFullName(ws17)), "WS17.Sales.Acme");

    // Below "[Root]" the root adds nothing.
    Branch root("[Root]");
    model.insertSorted(*root.acme, {{"WS1", kImageWorkstation}});
    const TreeItem* ws1 = nullptr;
    for (std::size_t i = 0; i < root.acme->childCount(); ++i)
        if (root.acme->child(i).text() == "WS1") ws1 = &root.acme->child(i);
    ASSERT_NE(ws1, nullptr);
    EXPECT_EQ(typedFullName(*ws1), "CN=WS1.O=Acme");
    EXPECT_EQ(typelessName(typedFullName(*ws1)), "WS1.Acme");
    EXPECT_EQ(typelessName(typedFullName(*root.top)), "[Root]");

    const std::pair<const char*, const char*> cases[] = {
        {"L=Frankfurt.S=Hessen.C=DE", "Frankfurt.Hessen.DE"},
        {"CN=WS1.OU=lnk.O=Acme", "WS1.lnk.Acme"},
        {"CN=WS20.OU=East.OU=Sales.O=Acme", "WS20.East.Sales.Acme"},
        {"OU=Lab.OU=West.OU=Sales.O=Acme", "Lab.West.Sales.Acme"},
        {"CN=FFM05.OU=Warehouse.O=Acme Logistik.L=Frankfurt.S=Hessen.C=DE",
         "FFM05.Warehouse.Acme Logistik.Frankfurt.Hessen.DE"},
        {"O=Acme.OU=WS.O=Acme", "Acme.WS.Acme"},
        {"WS1", "WS1"},
        {"", ""},
        // A prefix inside a name counts as one too, and its place becomes a full stop.
        {"CN=PC.C=X", "PC.X"},
        {"CN=AO=B", "A.B"},
    };
    for (const auto& [typed, typeless] : cases) EXPECT_EQ(typelessName(typed), typeless) << typed;
}

TEST(TreeNames, ContainersAndTopItemImagesGoByPrefix) {
    for (const char* text : {"[Root]", "C=DE", "O=Acme", "OU=Sales", "S=Hessen", "L=Berlin"})
        EXPECT_TRUE(isContainerText(text)) << text;
    for (const char* text : {"PC1", "CN=PC1", "ou=sales", "OUT", ""})
        EXPECT_FALSE(isContainerText(text)) << text;

    EXPECT_EQ(topItemImage("[Root]", true), kImageRoot);
    EXPECT_EQ(topItemImage("C=DE", true), kImageCountry);
    EXPECT_EQ(topItemImage("O=Acme", true), kImageOrganization);
    EXPECT_EQ(topItemImage("OU=WS.O=Acme", true), kImageOrganizationalUnit);
    EXPECT_EQ(topItemImage("L=Berlin.O=Acme", true), kImageLocality);
    EXPECT_EQ(topItemImage("S=Hessen.C=DE", true), kImageLocality);
    EXPECT_EQ(topItemImage("Nowhere", true), kImageUnknown);
    EXPECT_EQ(topItemImage("O=Acme", false), kImageUnknown);
}

TEST(ChangeContextDialog, UpRemovesOneLevelAndEndsAtRoot) {
    ChangeContextDialogState dialog("OU=A.OU=B.O=C");
    EXPECT_FALSE(dialog.changed());
    dialog.up();
    dialog.up();
    EXPECT_EQ(dialog.field, "O=C");
    EXPECT_TRUE(dialog.changed());
    dialog.up();
    EXPECT_EQ(dialog.field, "[Root]");
    dialog.up();
    EXPECT_EQ(dialog.field, "[Root]");
    dialog.field = "typed by hand";
    dialog.root();
    EXPECT_EQ(dialog.field, "[Root]");
    EXPECT_EQ(dialog.shown, "OU=A.OU=B.O=C");
}

}  // namespace
}  // namespace kestrel::browser::test
