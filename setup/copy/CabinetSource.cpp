#include "copy/CabinetSource.h"

#include <mspack.h>

#include <algorithm>
#include <numeric>
#include <utility>

#include "platform/AsciiCase.h"

namespace kestrel::setup::copy {
namespace {

CabinetMember describe(const mscabd_file& file) {
    CabinetMember member;
    member.name = file.filename;
    member.length = file.length;
    member.year = file.date_y;
    member.month = file.date_m;
    member.day = file.date_d;
    member.hour = file.time_h;
    member.minute = file.time_m;
    member.second = file.time_s;
    // Only the DOS bits travel; the name-encoding and executable flags are the cabinet's own.
    member.attributes =
        static_cast<std::uint32_t>(file.attribs) &
        (MSCAB_ATTRIB_RDONLY | MSCAB_ATTRIB_HIDDEN | MSCAB_ATTRIB_SYSTEM | MSCAB_ATTRIB_ARCH);
    return member;
}

// Position of a member in the cabinet's data: its folder's index, then its offset there.
std::pair<std::size_t, unsigned> folderPosition(const mscabd_cabinet& cabinet,
                                                const mscabd_file& file) {
    std::size_t index = 0;
    for (auto* folder = cabinet.folders; folder && folder != file.folder; folder = folder->next)
        ++index;
    return {index, file.offset};
}

}  // namespace

SourceResult<CabinetSource> CabinetSource::open(const std::filesystem::path& cabinet) {
    std::error_code status;
    if (!std::filesystem::is_regular_file(cabinet, status))
        return platform::unexpected(SourceError{SourceError::Kind::Missing,
                                                "Cabinet '" + cabinet.string() + "' is not there"});

    mscab_decompressor* decompressor = mspack_create_cab_decompressor(nullptr);
    if (!decompressor)
        return platform::unexpected(
            SourceError{SourceError::Kind::Unreadable,
                        "Cabinet '" + cabinet.string() + "': the cabinet reader cannot start"});
    mscabd_cabinet* opened = decompressor->open(decompressor, cabinet.c_str());
    if (!opened) {
        const int code = decompressor->last_error(decompressor);
        mspack_destroy_cab_decompressor(decompressor);
        return platform::unexpected(
            SourceError{SourceError::Kind::Unreadable,
                        "Cabinet '" + cabinet.string() + "': " + describeMspackError(code)});
    }
    return CabinetSource(cabinet, decompressor, opened);
}

CabinetSource::CabinetSource(std::filesystem::path path, mscab_decompressor* decompressor,
                             mscabd_cabinet* cabinet)
    : path_(std::move(path)), decompressor_(decompressor), cabinet_(cabinet) {}

CabinetSource::CabinetSource(CabinetSource&& other) noexcept
    : path_(std::move(other.path_)),
      decompressor_(std::exchange(other.decompressor_, nullptr)),
      cabinet_(std::exchange(other.cabinet_, nullptr)) {}

CabinetSource& CabinetSource::operator=(CabinetSource&& other) noexcept {
    if (this != &other) {
        close();
        path_ = std::move(other.path_);
        decompressor_ = std::exchange(other.decompressor_, nullptr);
        cabinet_ = std::exchange(other.cabinet_, nullptr);
    }
    return *this;
}

CabinetSource::~CabinetSource() {
    close();
}

void CabinetSource::close() {
    if (!decompressor_) return;
    if (cabinet_) decompressor_->close(decompressor_, cabinet_);
    mspack_destroy_cab_decompressor(decompressor_);
    decompressor_ = nullptr;
    cabinet_ = nullptr;
}

std::vector<CabinetMember> CabinetSource::members() const {
    std::vector<CabinetMember> result;
    for (auto* file = cabinet_->files; file; file = file->next) result.push_back(describe(*file));
    return result;
}

mscabd_file* CabinetSource::lookup(std::string_view name) const {
    for (auto* file = cabinet_->files; file; file = file->next)
        if (platform::equalsIgnoreAsciiCase(file->filename, name)) return file;
    return nullptr;
}

SourceError CabinetSource::memberMissing(std::string_view name) const {
    return {SourceError::Kind::MemberMissing,
            "Cannot find file '" + std::string(name) + "' in cabinet '" + path_.string() + "'"};
}

SourceResult<CabinetMember> CabinetSource::find(std::string_view name) const {
    if (const auto* file = lookup(name)) return describe(*file);
    return platform::unexpected(memberMissing(name));
}

SourceResult<CabinetMember> CabinetSource::extract(std::string_view name,
                                                   const std::filesystem::path& target) {
    auto* file = lookup(name);
    if (!file) return platform::unexpected(memberMissing(name));
    const std::string source = path_.string() + "' member '" + file->filename;
    auto written = writeThroughTemporary(target, source, [&](const char* path) {
        return decompressor_->extract(decompressor_, file, path);
    });
    if (!written) return platform::unexpected(written.error());
    return describe(*file);
}

std::vector<SourceResult<CabinetMember>> CabinetSource::extract(
    const std::vector<MemberRequest>& requests) {
    // A request for an absent member sorts first; it fails without reading anything.
    std::vector<std::pair<std::size_t, unsigned>> positions;
    for (const auto& request : requests) {
        const auto* file = lookup(request.name);
        positions.push_back(file ? folderPosition(*cabinet_, *file)
                                 : std::pair<std::size_t, unsigned>{0, 0});
    }
    std::vector<std::size_t> order(requests.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::ranges::stable_sort(order, {}, [&](std::size_t i) { return positions[i]; });

    std::vector<SourceResult<CabinetMember>> results(requests.size(),
                                                     platform::unexpected(SourceError{}));
    for (std::size_t i : order) results[i] = extract(requests[i].name, requests[i].target);
    return results;
}

}  // namespace kestrel::setup::copy
