#include "workstation/WorkstationDetails.h"

#include "directory/CNDSAccess.h"

namespace kestrel::browser {

namespace {

constexpr std::array<InventoryFieldInfo, kInventoryFieldCount> kInventoryFields{{
    {InventoryField::ComputerType, "Computer Type:", "ZEN:INV Computer Type", false},
    {InventoryField::ComputerModel, "Computer Model:", "ZEN:INV Computer Model", false},
    {InventoryField::ModelNumber, "Model Number:", "ZEN:INV Model Number", false},
    {InventoryField::SerialNumber, "Serial Number:", "ZEN:INV Serial Number", false},
    {InventoryField::AssetTag, "Asset Tag:", "ZEN:INV Asset Tag", false},
    {InventoryField::OsName, "OS Name:", "ZEN:INV OS Type", false},
    {InventoryField::OsVersion, "OS Version:", "ZEN:INV OS Revision", false},
    {InventoryField::NovellClient, "Novell Client:", "ZEN:INV Novell Client Version", false},
    {InventoryField::BiosType, "BIOS Type:", "ZEN:INV BIOS Type", false},
    {InventoryField::HardDisk, "Hard Disk Info:", "ZEN:INV Disk Info", true},
    {InventoryField::IpAddress, "IP Address:", "ZEN:INV IP Address", false},
    {InventoryField::IpxAddress, "IPX Address:", "ZEN:INV IPX Address", false},
    {InventoryField::MacAddress, "MAC Address:", "ZEN:INV MAC Address", false},
    {InventoryField::PhysicalMemory, "Physical Memory:", "ZEN:INV Memory Size", false},
    {InventoryField::NicType, "NIC Type:", "ZEN:INV NIC Type", true},
    {InventoryField::ProcessorFamily, "Processor Family:", "ZEN:INV Processor Type", false},
    {InventoryField::SubnetMask, "Subnet Mask:", "ZEN:INV Subnet Address", false},
    {InventoryField::VideoType, "Video Type:", "ZEN:INV Video Type", true},
    {InventoryField::LastScanDate, "Last Scan Date:", "ZEN:INV Last Scan Date", false},
}};

constexpr bool inEnumerationOrder() {
    for (std::size_t i = 0; i < kInventoryFields.size(); ++i)
        if (static_cast<std::size_t>(kInventoryFields[i].field) != i) return false;
    return true;
}
static_assert(inEnumerationOrder());

// The string and octet readers tell success by replacing the attribute name they were given
// with what they read; a field whose read failed stays empty.
std::string readField(CNDSAccess& access, std::string_view attribute, const std::string& object,
                      bool octets) {
    std::string argument(attribute);
    if (octets)
        access.ReadOctetAttr(argument, object);
    else
        access.ReadStringAttr(argument, object);
    return argument == attribute ? std::string() : argument;
}

}  // namespace

WorkstationInfo readWorkstationInfo(CNDSAccess& access, const std::string& typedName) {
    WorkstationInfo info;
    info.cn = typedName;
    info.lastRegistered = access.ReadTimeAttr("WM:Last Registered Time", typedName);
    if (info.lastRegistered == "ERROR")
        info.lastRegistered.clear();
    else if (info.lastRegistered.ends_with('\n'))
        info.lastRegistered.pop_back();  // the field holds one line
    info.computerName = readField(access, "WM:NAME Computer", typedName, false);
    // The rest addresses the workstation as its own name context.
    const std::string self = "." + typedName;
    info.computerOs = readField(access, "WM:NAME OS", self, false);
    access.ReadStringListAttr("WM:User History", info.userHistory, self);
    access.ReadStringListAttr("WM:Network Address", info.networkAddresses, self);
    return info;
}

std::span<const InventoryFieldInfo> inventoryFields() {
    return kInventoryFields;
}

WorkstationInventory readWorkstationInventory(CNDSAccess& access, const std::string& typedName) {
    WorkstationInventory inventory;
    inventory.cn = typedName;
    for (const InventoryFieldInfo& each : kInventoryFields)
        inventory.values[static_cast<std::size_t>(each.field)] =
            readField(access, each.attribute, typedName, each.octets);
    auto& scan = inventory.values[static_cast<std::size_t>(InventoryField::LastScanDate)];
    LastScan decoded = decodeLastScan(scan);
    scan = std::move(decoded.field);
    inventory.lastScanNote = std::move(decoded.note);
    return inventory;
}

LastScan decodeLastScan(std::string_view text) {
    if (text.find('?') == std::string_view::npos) return {std::string(text), {}};
    // A report without a marker is all failure text and names no date.
    std::string_view failure = text;
    std::string_view date;
    for (std::string_view marker : {"?1?", "?2?", "?3?", "?4?"}) {
        auto at = text.find(marker);
        if (at == std::string_view::npos) continue;
        std::string_view rest = text.substr(at + marker.size());
        auto end = rest.find('?');
        failure = end == std::string_view::npos ? std::string_view() : rest.substr(0, end);
        date = end == std::string_view::npos ? rest : rest.substr(end + 1);
        break;
    }
    LastScan scan{"Failed: " + std::string(failure), {}};
    // A marker followed by nothing names no date either.
    if (!date.empty()) scan.note = "(Last successful scan completed: " + std::string(date) + ")";
    return scan;
}

}  // namespace kestrel::browser
