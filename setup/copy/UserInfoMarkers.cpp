#include "copy/UserInfoMarkers.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kestrel::setup::copy {

namespace {

static_assert(kUserMarker.size() == kCompanyMarker.size());
constexpr std::size_t kMarkerLength = kUserMarker.size();

void findIn(std::string_view window, std::uint64_t offset, std::string_view marker,
            std::optional<std::uint64_t>& found) {
    if (found) return;
    if (const std::size_t at = window.find(marker); at != std::string_view::npos)
        found = offset + at;
}

}  // namespace

void UserInfoMarkers::scan(std::span<const std::byte> block) {
    if (user_ && company_) return;
    // The window is the kept tail and the new block, so a marker split between blocks is
    // seen whole.
    std::string window = tail_;
    window.append(reinterpret_cast<const char*>(block.data()), block.size());
    findIn(window, tailOffset_, kUserMarker, user_);
    findIn(window, tailOffset_, kCompanyMarker, company_);
    const std::size_t keep = std::min(window.size(), kMarkerLength - 1);
    tailOffset_ += window.size() - keep;
    tail_ = window.substr(window.size() - keep);
}

platform::Expected<void, std::string> writeUserInfo(const std::filesystem::path& file,
                                                    const UserInfoMarkers& markers,
                                                    std::string_view user,
                                                    std::string_view company) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return platform::unexpected(std::string(std::strerror(errno)));
    const auto put = [fd](std::optional<std::uint64_t> at, std::string_view text) {
        if (!at) return true;
        std::string data(text.substr(0, kMarkerLength - 1));
        data.push_back('\0');
        return ::pwrite(fd, data.data(), data.size(), static_cast<off_t>(*at)) ==
               static_cast<ssize_t>(data.size());
    };
    const bool written = put(markers.user(), user) && put(markers.company(), company);
    const int error = written ? 0 : (errno != 0 ? errno : EIO);
    if (::close(fd) != 0 && written) return platform::unexpected(std::string(std::strerror(errno)));
    if (!written) return platform::unexpected(std::string(std::strerror(error)));
    return {};
}

}  // namespace kestrel::setup::copy
