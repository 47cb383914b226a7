// What the directory knows about one workstation object: its registration ("WM:"
// attributes) and the inventory the scanner stored in it ("ZEN:INV " attributes), read into
// the fields of the two detail dialogs.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::browser {

class CNDSAccess;

struct WorkstationInfo {
    std::string cn;  // the typed full name
    std::string computerName;
    std::string computerOs;
    std::vector<std::string> networkAddresses;  // "no value" when the object has none
    std::vector<std::string> userHistory;       // the same
    std::string lastRegistered;                 // empty when unreadable
};

// Reads the registration of the workstation `typedName`; an unreadable field stays empty.
WorkstationInfo readWorkstationInfo(CNDSAccess& access, const std::string& typedName);

// The inventory dialog's fields in the order they are read.
enum class InventoryField : std::size_t {
    ComputerType,
    ComputerModel,
    ModelNumber,
    SerialNumber,
    AssetTag,
    OsName,
    OsVersion,
    NovellClient,
    BiosType,
    HardDisk,
    IpAddress,
    IpxAddress,
    MacAddress,
    PhysicalMemory,
    NicType,
    ProcessorFamily,
    SubnetMask,
    VideoType,
    LastScanDate,
};
inline constexpr std::size_t kInventoryFieldCount =
    static_cast<std::size_t>(InventoryField::LastScanDate) + 1;

struct InventoryFieldInfo {
    InventoryField field;
    std::string_view label;      // "Computer Type:"
    std::string_view attribute;  // "ZEN:INV Computer Type"
    bool octets;                 // an octet string, shown as its bytes taken as characters
};

// Every field, in reading order (the order of InventoryField).
std::span<const InventoryFieldInfo> inventoryFields();

struct WorkstationInventory {
    std::string cn;  // the typed full name
    std::array<std::string, kInventoryFieldCount> values;
    std::string lastScanNote;  // the note under the last scan date, often empty

    const std::string& operator[](InventoryField field) const {
        return values[static_cast<std::size_t>(field)];
    }
};

WorkstationInventory readWorkstationInventory(CNDSAccess& access, const std::string& typedName);

// The last scan date as the scanner stores it: a plain date, or a failure report holding a
// marker "?1?" to "?4?", the failure and the date of the last successful scan.
struct LastScan {
    std::string field;  // what the Last Scan Date field shows
    std::string note;   // "(Last successful scan completed: <date>)", or empty
};
LastScan decodeLastScan(std::string_view text);

}  // namespace kestrel::browser
