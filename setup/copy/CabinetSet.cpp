#include "copy/CabinetSet.h"

#include <algorithm>

#include "copy/CabinetTemplate.h"

namespace kestrel::setup::copy {
namespace {

bool isThere(const std::filesystem::path& path) {
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

SourceError memberMissing(std::string_view member, const std::filesystem::path& cabinet) {
    return {SourceError::Kind::MemberMissing,
            "Cannot find file '" + std::string(member) + "' in cabinet '" + cabinet.string() + "'",
            cabinet};
}

}  // namespace

CabinetSet::CabinetSet(std::filesystem::path directory, std::string nameTemplate,
                       const DiskLabels& labels, DiskPrompt& prompt)
    : directory_(std::move(directory)),
      template_(std::move(nameTemplate)),
      labels_(labels),
      prompt_(prompt) {}

std::filesystem::path CabinetSet::cabinetFor(int disk) const {
    return directory_ / cabinetFileName(template_, disk > 0 ? std::optional(disk) : std::nullopt);
}

SourceResult<std::filesystem::path> CabinetSet::askFor(const std::filesystem::path& path,
                                                       const std::string& diskName,
                                                       bool skipAllowed) {
    for (;;) {
        const DiskAnswer answer = prompt_.askFor({labels_.label(diskName), path, skipAllowed});
        switch (answer.kind) {
            case DiskAnswer::Kind::Found:
                // Only a file that is there counts; otherwise the disk is asked for again.
                if (isThere(answer.file)) return answer.file;
                continue;
            case DiskAnswer::Kind::Cancel:
                return platform::unexpected(SourceError{
                    SourceError::Kind::Cancelled,
                    "The disk with '" + path.filename().string() + "' was not given", path});
            case DiskAnswer::Kind::Skip:
                return platform::unexpected(
                    SourceError{SourceError::Kind::Missing,
                                "Cabinet '" + path.string() + "' is not there", path});
        }
    }
}

SourceResult<CabinetSource*> CabinetSet::obtain(int number) {
    if (const auto known = byNumber_.find(number); known != byNumber_.end()) return known->second;
    const auto opened = [&](const std::filesystem::path& cabinet) -> CabinetSource* {
        for (const auto& source : open_)
            if (std::ranges::find(source->parts(), cabinet) != source->parts().end())
                return source.get();
        return nullptr;
    };
    std::filesystem::path path = cabinetFor(number);
    CabinetSource* source = opened(path);
    // Disk 0 asks for no disk change.
    if (!source && !isThere(path) && number > 0) {
        auto given = askFor(path, std::to_string(number), true);
        if (!given) return platform::unexpected(given.error());
        path = *given;
        // The person may have put the disks elsewhere: the next ones are looked for there.
        directory_ = path.parent_path();
        source = opened(path);
    }
    if (!source) {
        auto fresh = CabinetSource::open(path);
        if (!fresh) return platform::unexpected(fresh.error());
        open_.push_back(std::make_unique<CabinetSource>(std::move(*fresh)));
        source = open_.back().get();
    }
    byNumber_[number] = source;
    return source;
}

SourceResult<CabinetSet::Located> CabinetSet::search(int disk, std::string_view member) {
    const bool numbered = disk > 0 && !template_.empty();
    const std::filesystem::path first = cabinetFor(disk);
    if (template_.empty() && disk > 0)
        return platform::unexpected(
            SourceError{SourceError::Kind::Missing,
                        "The script names no cabinets for disk " + std::to_string(disk), first});

    auto cabinet = obtain(disk);
    if (!cabinet) return platform::unexpected(cabinet.error());
    const std::filesystem::path searched = (*cabinet)->path();
    // The cabinet counter: a member not in its disk's cabinet is looked for in the next
    // numbered cabinets, until one is not there and the person skips it.
    for (int counter = disk;;) {
        if (auto found = (*cabinet)->find(member))
            return Located{*cabinet, {*found, (*cabinet)->path()}};
        if (!numbered) break;
        const std::filesystem::path current = cabinetFor(counter);
        const std::filesystem::path next = cabinetFor(++counter);
        // A template without zeros names one cabinet for every disk: nothing more to search.
        if (next == current) break;
        cabinet = obtain(counter);
        if (!cabinet) {
            if (cabinet.error().kind == SourceError::Kind::Missing) break;
            return platform::unexpected(cabinet.error());
        }
    }
    return platform::unexpected(memberMissing(member, searched));
}

SourceResult<FoundMember> CabinetSet::find(int disk, std::string_view member) {
    auto located = search(disk, member);
    if (!located) return platform::unexpected(located.error());
    return located->found;
}

SourceResult<void> CabinetSet::joinNext(CabinetSource& cabinet) {
    const auto next = cabinet.next();
    const std::filesystem::path& last = cabinet.parts().back();
    if (!next)
        return platform::unexpected(SourceError{
            SourceError::Kind::Unreadable,
            "Cabinet '" + last.string() + "' has a member that continues but names no next cabinet",
            last});
    std::filesystem::path path = last.parent_path() / next->fileName;
    if (!isThere(path)) {
        // The member cannot be had without this disk: no Skip.
        auto given = askFor(path, next->diskName, false);
        if (!given) return platform::unexpected(given.error());
        path = *given;
    }
    // A set naming one of its own cabinets again would never end.
    if (std::ranges::find(cabinet.parts(), path) != cabinet.parts().end())
        return platform::unexpected(
            SourceError{SourceError::Kind::Unreadable,
                        "Cabinet '" + last.string() + "' names '" + path.string() +
                            "' as the next cabinet, which comes before it in the set",
                        last});
    return cabinet.append(path);
}

SourceResult<FoundMember> CabinetSet::read(int disk, std::string_view member, DataSink& sink) {
    auto located = search(disk, member);
    if (!located) return platform::unexpected(located.error());
    CabinetSource& cabinet = *located->cabinet;
    while (cabinet.continuesPastEnd(member))
        if (auto joined = joinNext(cabinet); !joined) return platform::unexpected(joined.error());
    auto extracted = cabinet.extract(member, sink);
    if (!extracted) return platform::unexpected(extracted.error());
    // The member as found at the end of its extraction, for the copy's times and attributes.
    return FoundMember{*extracted, located->found.cabinet};
}

}  // namespace kestrel::setup::copy
