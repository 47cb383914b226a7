// Constants of the binary shell-link format shared by the encoder and the decoder.
#pragma once

#include <array>
#include <cstdint>

namespace kestrel::platform::shelllink {

constexpr std::uint32_t kHeaderSize = 0x4C;
constexpr std::array<std::uint8_t, 16> kLinkClsid = {
    0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

// Offsets inside the header.
constexpr std::size_t kFlagsOffset = 0x14;
constexpr std::size_t kAttributesOffset = 0x18;
constexpr std::size_t kIconIndexOffset = 0x38;
constexpr std::size_t kShowCommandOffset = 0x3C;
constexpr std::size_t kHotKeyOffset = 0x40;

enum LinkFlag : std::uint32_t {
    HasLinkTargetIdList = 0x01,
    HasLinkInfo = 0x02,
    HasName = 0x04,
    HasRelativePath = 0x08,
    HasWorkingDir = 0x10,
    HasArguments = 0x20,
    HasIconLocation = 0x40,
    IsUnicode = 0x80,
    ForceNoLinkInfo = 0x100,
};

constexpr std::uint32_t kFileAttributeArchive = 0x20;

// Link information.
constexpr std::uint32_t kLinkInfoHeaderSize = 0x1C;
constexpr std::uint32_t kLinkInfoUnicodeHeaderSize = 0x24;  // with the UTF-16 path offsets
constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x01;
constexpr std::uint32_t kCommonNetworkRelativeLinkAndPathSuffix = 0x02;
constexpr std::uint32_t kVolumeIdSize = 0x11;  // fixed part plus an empty label
constexpr std::uint32_t kVolumeLabelOffset = 0x10;
constexpr std::uint32_t kDriveFixed = 3;

// Common network relative link: size, flags, net name, device name, provider type.
constexpr std::uint32_t kNetworkLinkMinimumSize = 0x14;

}  // namespace kestrel::platform::shelllink
