#include "copy/ProductSources.h"

#include <ctime>

#include "copy/LzSource.h"
#include "copy/PlainSource.h"

namespace kestrel::setup::copy {
namespace {

bool readThroughLz(const SourceRequest& request, std::uint64_t size) {
    return request.expand &&
           (size < request.expectedSize || request.path.size() < ProductSources::kLzPathLimit);
}

std::filesystem::file_time_type modifiedTime(const std::filesystem::path& file) {
    std::error_code ignored;
    return std::filesystem::last_write_time(file, ignored);
}

// A member's date and time are local time.
std::filesystem::file_time_type memberTime(const CabinetMember& member) {
    std::tm local{};
    local.tm_year = member.year - 1900;
    local.tm_mon = member.month - 1;
    local.tm_mday = member.day;
    local.tm_hour = member.hour;
    local.tm_min = member.minute;
    local.tm_sec = member.second;
    local.tm_isdst = -1;
    return std::chrono::file_clock::from_sys(
        std::chrono::system_clock::from_time_t(std::mktime(&local)));
}

SourceFacts fileFacts(const SourceRequest& request, const LzExpansion& content) {
    SourceFacts facts;
    facts.origin = content.compressed ? SourceFacts::Origin::Compressed : SourceFacts::Origin::File;
    facts.file = request.file;
    facts.length = content.length;
    facts.modified = modifiedTime(request.file);
    return facts;
}

SourceFacts memberFacts(const FoundMember& found) {
    SourceFacts facts;
    facts.origin = SourceFacts::Origin::CabinetMember;
    facts.file = found.cabinet;
    facts.length = found.member.length;
    facts.modified = memberTime(found.member);
    facts.member = found.member;
    return facts;
}

}  // namespace

SourceResult<SourceFacts> ProductSources::find(const SourceRequest& request) {
    auto size = plainFileSize(request.file);
    if (size) {
        if (!readThroughLz(request, *size)) return fileFacts(request, {false, *size, {}});
        auto content = inspectLzFile(request.file);
        if (!content) return platform::unexpected(content.error());
        return fileFacts(request, *content);
    }
    if (size.error().kind != SourceError::Kind::Missing || !request.cabinetAllowed)
        return platform::unexpected(size.error());
    auto found = cabinets_.find(request.disk, request.name);
    if (!found) return platform::unexpected(found.error());
    return memberFacts(*found);
}

SourceResult<SourceFacts> ProductSources::read(const SourceRequest& request, DataSink& sink) {
    auto size = plainFileSize(request.file);
    if (size) {
        if (!readThroughLz(request, *size)) {
            auto passed = readPlainFile(request.file, sink);
            if (!passed) return platform::unexpected(passed.error());
            return fileFacts(request, {false, *passed, {}});
        }
        auto content = readLzFile(request.file, sink);
        if (!content) return platform::unexpected(content.error());
        return fileFacts(request, *content);
    }
    if (size.error().kind != SourceError::Kind::Missing || !request.cabinetAllowed)
        return platform::unexpected(size.error());
    auto found = cabinets_.read(request.disk, request.name, sink);
    if (!found) return platform::unexpected(found.error());
    return memberFacts(*found);
}

}  // namespace kestrel::setup::copy
