#include "copy/TimesAndAttributes.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "copy/FileLine.h"
#include "platform/FileAttributes.h"

namespace kestrel::setup::copy {

namespace {

namespace dosattr = platform::dosattr;

constexpr std::uint32_t kLineBits = attrflag::kReadOnly | attrflag::kHidden | attrflag::kSystem;
constexpr std::uint32_t kMemberBits =
    dosattr::kReadOnly | dosattr::kHidden | dosattr::kSystem | dosattr::kArchive;

timespec toTimespec(std::filesystem::file_time_type time) {
    const auto since = std::chrono::file_clock::to_sys(time).time_since_epoch();
    const auto seconds = std::chrono::floor<std::chrono::seconds>(since);
    return {static_cast<time_t>(seconds.count()),
            static_cast<long>(
                std::chrono::duration_cast<std::chrono::nanoseconds>(since - seconds).count())};
}

// The source's own access time where it has one; a member has only its date.
timespec accessTimeOf(const SourceFacts& source, const timespec& modified) {
    struct stat info {};
    if (source.origin == SourceFacts::Origin::CabinetMember ||
        ::stat(source.file.c_str(), &info) != 0)
        return modified;
    return info.st_atim;
}

std::uint32_t attributesFor(const SourceFacts& source, std::uint32_t lineAttributes) {
    const std::uint32_t line = lineAttributes & kLineBits;  // the same bits as DOS attributes
    if (source.origin == SourceFacts::Origin::CabinetMember) {
        const std::uint32_t member = source.member ? source.member->attributes & kMemberBits : 0;
        return member | line;
    }
    const std::uint32_t own = platform::fileAttributes(source.file) &
                              (dosattr::kHidden | dosattr::kSystem | dosattr::kArchive);
    return own | line;
}

// A plain source that its owner may run (a program, a script) stays one: a Linux program
// among a product's files runs only with its execute bits, which a new file lacks.
platform::Expected<void, std::string> keepExecuteBits(const std::filesystem::path& target,
                                                      const SourceFacts& source) {
    constexpr mode_t kExecuteBits = S_IXUSR | S_IXGRP | S_IXOTH;
    struct stat from {
    }, to{};
    if (source.origin != SourceFacts::Origin::File || ::stat(source.file.c_str(), &from) != 0 ||
        (from.st_mode & kExecuteBits) == 0 || ::stat(target.c_str(), &to) != 0)
        return {};
    // Each read bit of the copy brings its execute bit, where the source has that one.
    const mode_t execute =
        ((to.st_mode & (S_IRUSR | S_IRGRP | S_IROTH)) >> 2) & from.st_mode & kExecuteBits;
    if (::chmod(target.c_str(), (to.st_mode & 07777) | execute) != 0)
        return platform::unexpected("cannot make '" + target.string() +
                                    "' executable: " + std::strerror(errno));
    return {};
}

}  // namespace

platform::Expected<void, std::string> applyTimesAndAttributes(const std::filesystem::path& target,
                                                              const SourceFacts& source,
                                                              std::uint32_t lineAttributes) {
    const timespec modified = toTimespec(source.modified);
    const timespec times[2] = {accessTimeOf(source, modified), modified};
    if (::utimensat(AT_FDCWD, target.c_str(), times, 0) != 0)
        return platform::unexpected("cannot set the times of '" + target.string() +
                                    "': " + std::strerror(errno));
    if (auto kept = keepExecuteBits(target, source); !kept) return kept;
    return platform::setFileAttributes(target, attributesFor(source, lineAttributes));
}

}  // namespace kestrel::setup::copy
