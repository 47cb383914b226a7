#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::platform {

// A security identifier ("S-1-5-32-544").
struct Sid {
    std::uint64_t authority = 0;  // 48 bits
    std::vector<std::uint32_t> subAuthorities;

    // nullopt for text that is no SID.
    static std::optional<Sid> parse(std::string_view text);
    std::string toString() const;
    bool operator==(const Sid&) const = default;
};

// The access rights of files that the permission editors combine.
namespace fileaccess {
inline constexpr std::uint32_t kDelete = 0x00010000;
inline constexpr std::uint32_t kWriteDac = 0x00040000;
inline constexpr std::uint32_t kWriteOwner = 0x00080000;
inline constexpr std::uint32_t kGenericRead = 0x00120089;
inline constexpr std::uint32_t kGenericWrite = 0x00120116;
inline constexpr std::uint32_t kGenericExecute = 0x001200A0;
inline constexpr std::uint32_t kDeleteChild = 0x00000040;
inline constexpr std::uint32_t kAllAccess = 0x001F01FF;
}  // namespace fileaccess

enum class AceType : std::uint8_t { Allowed = 0, Denied = 1 };

// ACE flags: what a directory's entry passes on to what is made inside it.
namespace aceflags {
inline constexpr std::uint8_t kObjectInherit = 0x01;
inline constexpr std::uint8_t kContainerInherit = 0x02;
inline constexpr std::uint8_t kInheritOnly = 0x08;
inline constexpr std::uint8_t kInherited = 0x10;
}  // namespace aceflags

struct Ace {
    AceType type = AceType::Allowed;
    std::uint8_t flags = 0;
    std::uint32_t mask = 0;
    Sid sid;
    bool operator==(const Ace&) const = default;
};

// Owner, group and the discretionary access list of an object; a system list is kept as the
// bytes it came with, since nothing here edits it.
struct SecurityDescriptor {
    std::uint32_t control = 0;
    std::optional<Sid> owner;
    std::optional<Sid> group;
    std::string systemAcl;                 // raw, empty when there is none
    std::optional<std::vector<Ace>> dacl;  // nullopt: no list (everyone may do anything)

    static constexpr std::uint32_t kDaclPresent = 0x0004;
    static constexpr std::uint32_t kSaclPresent = 0x0010;

    bool operator==(const SecurityDescriptor&) const = default;
};

// The form in which Wine keeps a file's descriptor in its extended attribute user.wine.sd:
// the descriptor revision (1) and a zero byte, then the control word and the lengths of
// owner, group, system list and access list (little-endian 32-bit numbers), then those four
// parts one after the other (SIDs and lists in their Windows binary form). Wine drops a
// value it cannot take apart, so decode() is as strict as Wine's own check.
std::string encodeWineSecurity(const SecurityDescriptor& descriptor);
std::optional<SecurityDescriptor> decodeWineSecurity(std::string_view bytes);

}  // namespace kestrel::platform
