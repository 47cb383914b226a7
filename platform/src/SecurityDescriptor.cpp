#include "platform/SecurityDescriptor.h"

#include <charconv>
#include <span>

#include "LittleEndian.h"

namespace kestrel::platform {

namespace {

using detail::readU16;
using detail::readU32;

constexpr std::uint8_t kDescriptorRevision = 1;
constexpr std::uint8_t kSidRevision = 1;
constexpr std::uint8_t kAclRevision = 2;
constexpr std::size_t kMaxSubAuthorities = 15;
constexpr std::size_t kAclHeader = 8;
constexpr std::size_t kAceHeader = 8;  // type, flags, size, mask
constexpr std::size_t kWineHeader = 2 + 5 * 4;

std::span<const std::byte> asBytes(std::string_view text) {
    return std::as_bytes(std::span(text.data(), text.size()));
}

void putU16(std::string& out, std::uint16_t value) {
    out += static_cast<char>(value & 0xff);
    out += static_cast<char>(value >> 8);
}

void putU32(std::string& out, std::uint32_t value) {
    putU16(out, static_cast<std::uint16_t>(value & 0xffff));
    putU16(out, static_cast<std::uint16_t>(value >> 16));
}

std::string encodeSid(const Sid& sid) {
    std::string out;
    out += static_cast<char>(kSidRevision);
    out += static_cast<char>(sid.subAuthorities.size());
    for (int shift = 40; shift >= 0; shift -= 8)
        out += static_cast<char>((sid.authority >> shift) & 0xff);
    for (std::uint32_t sub : sid.subAuthorities) putU32(out, sub);
    return out;
}

std::string encodeAcl(const std::vector<Ace>& aces) {
    std::string body;
    for (const Ace& ace : aces) {
        const std::string sid = encodeSid(ace.sid);
        body += static_cast<char>(ace.type);
        body += static_cast<char>(ace.flags);
        putU16(body, static_cast<std::uint16_t>(kAceHeader + sid.size()));
        putU32(body, ace.mask);
        body += sid;
    }
    std::string out;
    out += static_cast<char>(kAclRevision);
    out += '\0';
    putU16(out, static_cast<std::uint16_t>(kAclHeader + body.size()));
    putU16(out, static_cast<std::uint16_t>(aces.size()));
    putU16(out, 0);
    return out + body;
}

// A SID filling exactly `bytes`.
std::optional<Sid> decodeSid(std::string_view bytes) {
    if (bytes.size() < 8 || static_cast<unsigned char>(bytes[0]) != kSidRevision)
        return std::nullopt;
    const std::size_t count = static_cast<unsigned char>(bytes[1]);
    if (count > kMaxSubAuthorities || bytes.size() != 8 + 4 * count) return std::nullopt;
    Sid sid;
    for (std::size_t i = 2; i < 8; ++i)
        sid.authority = sid.authority << 8 | static_cast<unsigned char>(bytes[i]);
    for (std::size_t i = 0; i < count; ++i)
        sid.subAuthorities.push_back(*readU32(asBytes(bytes), 8 + 4 * i));
    return sid;
}

// An access list filling exactly `bytes`; allowed and denied entries only, as files carry.
std::optional<std::vector<Ace>> decodeAcl(std::string_view bytes) {
    if (bytes.size() < kAclHeader) return std::nullopt;
    const auto data = asBytes(bytes);
    const auto size = readU16(data, 2);
    const auto count = readU16(data, 4);
    if (!size || !count || static_cast<unsigned char>(bytes[0]) < kAclRevision ||
        *size != bytes.size())
        return std::nullopt;
    std::vector<Ace> aces;
    std::size_t at = kAclHeader;
    for (unsigned i = 0; i < *count; ++i) {
        const auto aceSize = readU16(data, at + 2);
        const auto mask = readU32(data, at + 4);
        if (!aceSize || !mask || *aceSize < kAceHeader || *aceSize > bytes.size() - at)
            return std::nullopt;
        const unsigned type = static_cast<unsigned char>(bytes[at]);
        auto sid = decodeSid(bytes.substr(at + kAceHeader, *aceSize - kAceHeader));
        if (type > 1 || !sid) return std::nullopt;
        aces.push_back({static_cast<AceType>(type), static_cast<std::uint8_t>(bytes[at + 1]), *mask,
                        std::move(*sid)});
        at += *aceSize;
    }
    return aces;
}

}  // namespace

std::optional<Sid> Sid::parse(std::string_view text) {
    if (text.size() < 4 || (text[0] != 'S' && text[0] != 's') || text[1] != '-')
        return std::nullopt;
    std::vector<std::uint64_t> numbers;
    std::size_t at = 2;
    while (at <= text.size()) {
        const std::size_t end = std::min(text.find('-', at), text.size());
        std::uint64_t number = 0;
        const auto [rest, error] = std::from_chars(text.data() + at, text.data() + end, number);
        if (error != std::errc() || rest != text.data() + end) return std::nullopt;
        numbers.push_back(number);
        at = end + 1;
    }
    // Revision, authority, then at least one and at most 15 parts of 32 bits.
    if (numbers.size() < 3 || numbers.size() > 2 + kMaxSubAuthorities ||
        numbers[0] != kSidRevision || numbers[1] >= (std::uint64_t{1} << 48))
        return std::nullopt;
    Sid sid;
    sid.authority = numbers[1];
    for (std::size_t i = 2; i < numbers.size(); ++i) {
        if (numbers[i] > UINT32_MAX) return std::nullopt;
        sid.subAuthorities.push_back(static_cast<std::uint32_t>(numbers[i]));
    }
    return sid;
}

std::string Sid::toString() const {
    std::string text = "S-1-" + std::to_string(authority);
    for (std::uint32_t sub : subAuthorities) text += "-" + std::to_string(sub);
    return text;
}

std::string encodeWineSecurity(const SecurityDescriptor& descriptor) {
    const std::string owner = descriptor.owner ? encodeSid(*descriptor.owner) : "";
    const std::string group = descriptor.group ? encodeSid(*descriptor.group) : "";
    const std::string dacl = descriptor.dacl ? encodeAcl(*descriptor.dacl) : "";
    std::uint32_t control =
        descriptor.control & ~(SecurityDescriptor::kDaclPresent | SecurityDescriptor::kSaclPresent);
    if (descriptor.dacl) control |= SecurityDescriptor::kDaclPresent;
    if (!descriptor.systemAcl.empty()) control |= SecurityDescriptor::kSaclPresent;

    std::string out;
    out += static_cast<char>(kDescriptorRevision);
    out += '\0';
    putU32(out, control);
    putU32(out, static_cast<std::uint32_t>(owner.size()));
    putU32(out, static_cast<std::uint32_t>(group.size()));
    putU32(out, static_cast<std::uint32_t>(descriptor.systemAcl.size()));
    putU32(out, static_cast<std::uint32_t>(dacl.size()));
    return out + owner + group + descriptor.systemAcl + dacl;
}

std::optional<SecurityDescriptor> decodeWineSecurity(std::string_view bytes) {
    if (bytes.size() < kWineHeader || static_cast<unsigned char>(bytes[0]) != kDescriptorRevision ||
        bytes[1] != 0)
        return std::nullopt;
    const auto data = asBytes(bytes);
    SecurityDescriptor descriptor;
    const std::uint32_t control = *readU32(data, 2);
    // Whether the lists are present is what `dacl` and `systemAcl` say.
    descriptor.control =
        control & ~(SecurityDescriptor::kDaclPresent | SecurityDescriptor::kSaclPresent);
    std::uint64_t lengths[4];
    std::uint64_t total = kWineHeader;
    for (int i = 0; i < 4; ++i) {
        lengths[i] = *readU32(data, 6 + 4 * static_cast<std::size_t>(i));
        total += lengths[i];
    }
    if (total != bytes.size()) return std::nullopt;
    std::string_view rest = bytes.substr(kWineHeader);
    const auto take = [&rest](std::uint64_t length) {
        const std::string_view part = rest.substr(0, length);
        rest.remove_prefix(length);
        return part;
    };
    const std::string_view owner = take(lengths[0]);
    const std::string_view group = take(lengths[1]);
    const std::string_view sacl = take(lengths[2]);
    const std::string_view dacl = take(lengths[3]);
    if (!owner.empty() && !(descriptor.owner = decodeSid(owner))) return std::nullopt;
    if (!group.empty() && !(descriptor.group = decodeSid(group))) return std::nullopt;
    descriptor.systemAcl = std::string(sacl);
    if ((control & SecurityDescriptor::kDaclPresent) && !dacl.empty()) {
        descriptor.dacl = decodeAcl(dacl);
        if (!descriptor.dacl) return std::nullopt;
    }
    return descriptor;
}

}  // namespace kestrel::platform
