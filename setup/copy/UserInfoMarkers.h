#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/Expected.h"

namespace kestrel::setup::copy {

// The two 50-character places a product leaves in a file for the user's name and company.
inline constexpr std::string_view kUserMarker =
    "User______________________________________________";
inline constexpr std::string_view kCompanyMarker =
    "Company___________________________________________";

// Finds the first position of each marker in data that pass block by block, also where a
// marker is split between two blocks.
class UserInfoMarkers {
  public:
    void scan(std::span<const std::byte> block);

    std::optional<std::uint64_t> user() const { return user_; }
    std::optional<std::uint64_t> company() const { return company_; }

  private:
    std::string tail_;  // the end of what passed, as long as a marker less one
    std::uint64_t tailOffset_ = 0;
    std::optional<std::uint64_t> user_, company_;
};

// Writes the user's name and the company, each with its terminating zero byte, at the
// positions found. Texts longer than a marker are cut so they never run past its place.
[[nodiscard]] platform::Expected<void, std::string> writeUserInfo(const std::filesystem::path& file,
                                                                  const UserInfoMarkers& markers,
                                                                  std::string_view user,
                                                                  std::string_view company);

}  // namespace kestrel::setup::copy
