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

RegistryValue RegistryValue::fromNarrow(std::uint32_t type, std::string_view narrowData,
                                        const CodePage& codePage) {
    if (!isStringType(type)) return bytes(type, narrowData);
    return {type, utf16ToBytes(utf8ToUtf16(codePage.toUtf8(narrowData)))};
}

std::string RegistryValue::narrowData(const CodePage& codePage) const {
    if (!isStringType(type)) return data;
    return codePage.fromUtf8(utf16ToUtf8(bytesToUtf16(data)));
}

std::string RegistryValue::textValue() const {
    std::string text = isStringType(type) ? utf16ToUtf8(bytesToUtf16(data)) : data;
    if (!text.empty() && text.back() == '\0') text.pop_back();
    if (type == kRegMultiSz && !text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

std::uint32_t RegistryValue::dwordValue() const {
    if (data.size() != 4) return 0;
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i) number = (number << 8) | static_cast<unsigned char>(data[i]);
    return number;
}

}  // namespace kestrel::platform
