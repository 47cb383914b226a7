#pragma once

#include <cstdint>
#include <string>

namespace kestrel::setup {

// The file flags of a file or include line (one 32-bit word).
namespace fileflag {
inline constexpr std::uint32_t kAppend = 0x1;
inline constexpr std::uint32_t kAlways = 0x2;
inline constexpr std::uint32_t kNoSizeWarning = 0x4;
inline constexpr std::uint32_t kNoDateWarning = 0x8;
inline constexpr std::uint32_t kReplaceOlder = 0x10;
inline constexpr std::uint32_t kDontReplace = 0x20;
inline constexpr std::uint32_t kOptional = 0x40;
inline constexpr std::uint32_t kReplaceVars = 0x80;
inline constexpr std::uint32_t kCreate = 0x100;
inline constexpr std::uint32_t kDirectory = 0x200;
inline constexpr std::uint32_t kLocalApp = 0x400;
inline constexpr std::uint32_t kWindows = 0x800;
inline constexpr std::uint32_t kShared = 0x1000;
inline constexpr std::uint32_t kSharedDll = 0x2000;
inline constexpr std::uint32_t kDelete = 0x4000;
inline constexpr std::uint32_t kDontDelete = 0x8000;
inline constexpr std::uint32_t kWindows16 = 0x10000;
inline constexpr std::uint32_t kWindows32 = 0x20000;
inline constexpr std::uint32_t kDos = 0x40000;
inline constexpr std::uint32_t kNt = 0x80000;
inline constexpr std::uint32_t kSetupHook = 0x100000;
inline constexpr std::uint32_t kAdmin = 0x200000;
inline constexpr std::uint32_t kClient = 0x400000;
inline constexpr std::uint32_t kMachine = 0x800000;
inline constexpr std::uint32_t kRegister = 0x1000000;
inline constexpr std::uint32_t kRegister16 = 0x2000000;
inline constexpr std::uint32_t kSetup = 0x4000000;
inline constexpr std::uint32_t kCheckRtVersion = 0x8000000;
inline constexpr std::uint32_t kSetUserInfo = 0x10000000;
inline constexpr std::uint32_t kCascaded = 0x20000000;
inline constexpr std::uint32_t kService = 0x40000000;
inline constexpr std::uint32_t kExpand = 0x80000000;
}  // namespace fileflag

// The attribute flags, a second word read from the same field.
namespace attrflag {
inline constexpr std::uint32_t kReadOnly = 0x1;
inline constexpr std::uint32_t kHidden = 0x2;
inline constexpr std::uint32_t kSystem = 0x4;
inline constexpr std::uint32_t kUseFileName = 0x8;
}  // namespace attrflag

struct LineFlags {
    std::uint32_t file = 0;
    std::uint32_t attributes = 0;
    bool operator==(const LineFlags&) const = default;
};

// One file line of a file section, as written (variables not yet expanded).
struct FileLine {
    int disk = 0;             // 0: no disk change, the cabinet is Setup.cab
    std::string source;       // relative to the source directory, prefix still on it
    std::string destination;  // with variables
    LineFlags flags;
    std::uint64_t size = 0;  // expected size; 0 = not given
    std::string extra;       // font display name or service definition
};

// "#section,flags": the flags filter the whole included section.
struct IncludeLine {
    std::string section;
    bool countEachTime = false;  // a leading "!": counted for every component that includes it
    LineFlags flags;
};

}  // namespace kestrel::setup
