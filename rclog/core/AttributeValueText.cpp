#include "AttributeValueText.h"

#include <vector>

#include "Format.h"
#include "nwkit/Syntax.h"

namespace kestrel::rclog {

namespace {

// The address bytes; positions past the address's own length read as 0, so a short address
// never makes the conversion read beyond it.
class AddressBytes {
  public:
    explicit AddressBytes(const Net_Address_T& address) {
        if (address.address != nullptr)
            bytes_.assign(address.address, address.address + address.addressLength);
    }
    unsigned operator[](std::size_t i) const { return i < bytes_.size() ? bytes_[i] : 0; }
    std::size_t size() const { return bytes_.size(); }

  private:
    std::vector<unsigned char> bytes_;
};

}  // namespace

std::string netAddressText(const Net_Address_T& address) {
    const AddressBytes b(address);
    const int type = static_cast<int>(address.addressType);
    const int length = static_cast<int>(address.addressLength);
    if (address.addressType == NT_IPX || address.addressType == NT_IP) {
        if (address.addressLength == 0 || address.addressLength > 12)
            return "Unknown (0 or >12 bytes?!)";
        if (address.addressType == NT_IPX)
            return format("%02X%02X%02X%02X%02X%02X   ", b[4], b[5], b[6], b[7], b[8], b[9]);
        return format("%d.%d.%d.%d", b[0], b[1], b[2], b[3]);
    }
    if (address.addressType == NT_APPLETALK) {
        std::string text = format("%d-%d:%d.%d:", b[0], b[1], b[2] * 100 + b[3], b[4]);
        // The zone name: as many characters as byte 5 says, no more than the address holds.
        for (std::size_t i = 6; i < 6 + b[5] && i < b.size(); ++i) text += static_cast<char>(b[i]);
        return text;
    }
    return format("Non-IPX/IP address: type # = %d (len=%d)\n", type, length);
}

std::optional<std::string> attributeValueText(nuint32 syntax, const void* value) {
    if (nw::kit::isTextSyntax(syntax)) return std::string(static_cast<const char*>(value));
    if (syntax == SYN_NET_ADDRESS) return netAddressText(*static_cast<const Net_Address_T*>(value));
    return std::nullopt;
}

}  // namespace kestrel::rclog
