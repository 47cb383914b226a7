#include "SampleBrowserFixture.h"
#include "workstation/WorkstationDetails.h"

namespace kestrel::browser::test {
namespace {

using Texts = std::vector<std::string>;

class Details : public SampleBrowserTest {
  protected:
    void SetUp() override {
        SampleBrowserTest::SetUp();
        logInAsDemo();
    }
    // The info and inventory of the workstation `name` below the start context `container`.
    void showBoth(const std::string& container, const std::string& name) {
        openBrowser(container);
        ASSERT_NE(selectChild(name), nullptr);
        controller_->workstationInfo();
        controller_->workstationInventory();
        ASSERT_EQ(ui_.infos.size(), 1u);
        ASSERT_EQ(ui_.inventories.size(), 1u);
    }
};

TEST_F(Details, RegistrationAndInventoryOfARegisteredWorkstation) {
    showBoth("OU=Sales.O=Acme", "WS17");
    const WorkstationInfo& info = ui_.infos[0];
    EXPECT_EQ(info.cn, "CN=WS17.OU=Sales.O=Acme");
    EXPECT_EQ(info.computerName, "WS17");
    EXPECT_EQ(info.computerOs, "WINNT");
    EXPECT_EQ(info.networkAddresses, (Texts{"01010000:0060B084AD1F:4006", "127.0.1.17"}));
    EXPECT_EQ(info.userHistory, (Texts{"CN=jdoe.OU=Sales.O=Acme", "CN=Demo.OU=IT.O=Acme",
                                       "CN=asmith.OU=Sales.O=Acme"}));
    EXPECT_EQ(info.lastRegistered, "Tue Mar  4 10:31:59 1997");

    const WorkstationInventory& inventory = ui_.inventories[0];
    EXPECT_EQ(inventory.cn, "CN=WS17.OU=Sales.O=Acme");
    const std::pair<InventoryField, const char*> expected[] = {
        {InventoryField::ComputerType, "Desktop"},
        {InventoryField::ComputerModel, "Vantage Pro 5200"},
        {InventoryField::ModelNumber, "VP-5200"},
        {InventoryField::SerialNumber, "VNT4465551"},
        {InventoryField::AssetTag, "ACME-97776"},
        {InventoryField::OsName, "Windows NT Workstation"},
        {InventoryField::OsVersion, "4.00.1381 SP3"},
        {InventoryField::NovellClient, "4.60"},
        {InventoryField::BiosType, "Keystone BIOS v4.51PG"},
        {InventoryField::HardDisk, "C: 3200 MB IDE FAT, 1345 MB free"},
        {InventoryField::IpAddress, "127.0.1.17"},
        {InventoryField::IpxAddress, "01010000:0060B084AD1F"},
        {InventoryField::MacAddress, "0060B084AD1F"},
        {InventoryField::PhysicalMemory, "64 MB"},
        {InventoryField::NicType, "Corvid EtherCard ISA"},
        {InventoryField::ProcessorFamily, "K6-2 350"},
        {InventoryField::SubnetMask, "127.0.1.0"},
        {InventoryField::VideoType, "Vesta Trio 2 MB PCI"},  // its zero byte ends the text
        {InventoryField::LastScanDate, "01/31/99 07:52"},
    };
    ASSERT_EQ(std::size(expected), kInventoryFieldCount);
    for (const auto& [field, value] : expected)
        EXPECT_EQ(inventory[field], value) << inventoryFields()[std::size_t(field)].label;
    EXPECT_EQ(inventory.lastScanNote, "");
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(Details, ANeverRegisteredWorkstationShowsAnEmptyForm) {
    showBoth("OU=IT.O=Acme", "IT-SPARE");
    const WorkstationInfo& info = ui_.infos[0];
    EXPECT_EQ(info.cn, "CN=IT-SPARE.OU=IT.O=Acme");
    EXPECT_EQ(info.computerName, "");
    EXPECT_EQ(info.computerOs, "");
    EXPECT_EQ(info.lastRegistered, "");
    EXPECT_EQ(info.networkAddresses, Texts{"no value"});
    EXPECT_EQ(info.userHistory, Texts{"no value"});
    for (const std::string& value : ui_.inventories[0].values) EXPECT_EQ(value, "");
    EXPECT_EQ(ui_.inventories[0].lastScanNote, "");
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(Details, NetworkAddressesOfTheAddressSyntaxShowAsText) {
    showBoth("OU=Sales.O=Acme", "WS42");
    EXPECT_EQ(ui_.infos[0].networkAddresses, Texts{"127.0.1.42"});
}

TEST_F(Details, AnOctetValueWithLengthByte200ShowsEmpty) {
    showBoth("OU=East.OU=Sales.O=Acme", "WS21");
    EXPECT_EQ(ui_.inventories[0][InventoryField::HardDisk], "");
    EXPECT_EQ(ui_.inventories[0][InventoryField::ComputerType], "Desktop");
}

TEST_F(Details, AFailedScanShowsTheFailureAndTheLastGoodScan) {
    showBoth("OU=HQ.O=Acme", "HQ02");
    EXPECT_EQ(ui_.inventories[0][InventoryField::LastScanDate], "Failed: Disk error");
    EXPECT_EQ(ui_.inventories[0].lastScanNote, "(Last successful scan completed: 06/30/99 10:00)");
}

TEST_F(Details, ReadsFollowTheTreeShownAndLeaveItUsable) {
    // Another tree than the client's default: the details come from the tree shown, and the
    // renewed layer still lists that tree.
    CNDSAccess access(ui_);
    ASSERT_EQ(access.Login("GLOBEX_TREE", "CN=Admin.O=Globex", "globex"), 0);
    app_.startTree = "GLOBEX_TREE";
    openBrowser("O=Globex");
    ASSERT_EQ(controller_->treeField(), "GLOBEX_TREE");
    TreeItem* engineering = selectChild("OU=Engineering");
    ASSERT_NE(engineering, nullptr);
    controller_->listSelected();
    controller_->select(&engineering->child(0));
    controller_->workstationInfo();
    ASSERT_EQ(ui_.infos.size(), 1u);
    EXPECT_EQ(ui_.infos[0].cn, "CN=ENG01.OU=Engineering.O=Globex");
    EXPECT_EQ(ui_.infos[0].computerName, "ENG01");

    TreeItem* finance = selectChild("OU=Finance");
    ASSERT_NE(finance, nullptr);
    controller_->listSelected();
    EXPECT_GT(finance->childCount(), 0u);
}

TEST(LastScan, PlainDatesAndFailureReports) {
    struct Case {
        const char* text;
        const char* field;
        const char* note;
    };
    const Case cases[] = {
        {"07/01/99 12:00", "07/01/99 12:00", ""},
        {"", "", ""},
        {"X?2?Disk error?06/30/99 10:00", "Failed: Disk error",
         "(Last successful scan completed: 06/30/99 10:00)"},
        {"Scan?aborted", "Failed: Scan?aborted", ""},
        // The first marker in the order ?1? to ?4?, wherever it stands.
        {"?3?late?01/01/99?1?early?02/02/99", "Failed: early",
         "(Last successful scan completed: 02/02/99)"},
        // No question mark after the marker: no failure text, the rest is the date.
        {"?4?03/03/99 03:03", "Failed: ", "(Last successful scan completed: 03/03/99 03:03)"},
        {"?3?WMI failure", "Failed: ", "(Last successful scan completed: WMI failure)"},
        {"?1?", "Failed: ", ""},
        {"?5?x?y", "Failed: ?5?x?y", ""},
    };
    for (const Case& each : cases) {
        LastScan scan = decodeLastScan(each.text);
        EXPECT_EQ(scan.field, each.field) << each.text;
        EXPECT_EQ(scan.note, each.note) << each.text;
    }
}

}  // namespace
}  // namespace kestrel::browser::test
