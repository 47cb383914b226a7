#include "platform/RegistryValue.h"

#include "platform/WideText.h"

namespace kestrel::platform {

bool isStringType(std::uint32_t type) {
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

RegistryValue RegistryValue::text(std::uint32_t type, std::string_view text) {
    std::u16string units = utf8ToUtf16(text);
    units += u'\0';
    return {type, utf16ToBytes(units)};
}

RegistryValue RegistryValue::multiString(const std::vector<std::string>& strings) {
    std::u16string units;
    for (const std::string& s : strings) {
        units += utf8ToUtf16(s);
        units += u'\0';
    }
    units += u'\0';
    return {kRegMultiSz, utf16ToBytes(units)};
}

RegistryValue RegistryValue::dword(std::uint32_t number) {
    std::string data(4, '\0');
    for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((number >> (8 * i)) & 0xFF);
    return {kRegDword, data};
}

RegistryValue RegistryValue::bytes(std::uint32_t type, std::string_view bytes) {
    return {type, std::string(bytes)};
}

RegistryValue RegistryValue::fromNarrow(std::uint32_t type, std::string_view narrowData) {
    if (!isStringType(type)) return bytes(type, narrowData);
    return {type, utf16ToBytes(utf8ToUtf16(narrowData))};
}

std::string RegistryValue::narrowData() const {
    if (!isStringType(type)) return data;
    return utf16ToUtf8(bytesToUtf16(data));
}

std::string RegistryValue::textValue() const {
    std::string narrow = narrowData();
    if (!narrow.empty() && narrow.back() == '\0') narrow.pop_back();
    if (type == kRegMultiSz && !narrow.empty() && narrow.back() == '\0') narrow.pop_back();
    return narrow;
}

std::uint32_t RegistryValue::dwordValue() const {
    if (data.size() != 4) return 0;
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i) number = (number << 8) | static_cast<unsigned char>(data[i]);
    return number;
}

}  // namespace kestrel::platform
