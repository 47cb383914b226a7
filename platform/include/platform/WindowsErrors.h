#pragma once

namespace kestrel::platform {

// The Windows system error codes our host services report, so callers can show them in the
// installer's messages exactly as the system would.
inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorPathNotFound = 3;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorInvalidHandle = 6;
inline constexpr long kErrorNotEnoughMemory = 8;
inline constexpr long kErrorInvalidParameter = 87;
inline constexpr long kErrorBusy = 170;
inline constexpr long kErrorMoreData = 234;
inline constexpr long kErrorNoMoreItems = 259;
inline constexpr long kErrorBadDatabase = 1009;
inline constexpr long kErrorKeyDeleted = 1018;
inline constexpr long kErrorChildMustBeVolatile = 1021;
inline constexpr long kErrorRegistryIoFailed = 1016;

}  // namespace kestrel::platform
