#include "copy/CabinetSource.h"

#include <mspack.h>

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "copy/CabinetContinuation.h"
#include "copy/MspackStreams.h"
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

SourceError unreadable(const std::filesystem::path& cabinet, const std::string& why) {
    return {SourceError::Kind::Unreadable, "Cabinet '" + cabinet.string() + "': " + why, cabinet};
}

}  // namespace

struct CabinetSource::State {
    MspackStreams streams;
    mscab_decompressor* decompressor = nullptr;
    // libmspack keeps the name pointers it is given, so the names live here, one per part,
    // never moved: a deque-like list of owned strings.
    std::vector<std::unique_ptr<std::string>> names;
    std::vector<std::filesystem::path> parts;
    mscabd_cabinet* first = nullptr;
    mscabd_cabinet* last = nullptr;
    std::vector<std::string> continuing;  // members of `last` that run on into the next
    // A failed extraction leaves libmspack's decompressor stuck on its error; the cabinets
    // are opened again before the next one.
    bool spoiled = false;
    // Members by their upper-case name, for a lookup per member that does not walk the list;
    // rebuilt whenever the cabinets are opened or joined (libmspack rebuilds its list then).
    std::unordered_map<std::string, mscabd_file*> index;

    ~State() {
        closeAll();
        if (decompressor) mspack_destroy_cab_decompressor(decompressor);
    }

    void closeAll() {
        // Closing the first cabinet closes every cabinet joined to it.
        if (decompressor && first) decompressor->close(decompressor, first);
        first = last = nullptr;
        index.clear();
    }

    mscabd_cabinet* openPart(const std::string& name) {
        return decompressor->open(decompressor, name.c_str());
    }

    SourceError openError(const std::filesystem::path& cabinet) const {
        return unreadable(cabinet, describeMspackError(decompressor->last_error(decompressor)));
    }

    // Opens the parts again and joins them as before.
    SourceResult<void> reopen() {
        closeAll();
        spoiled = false;
        for (std::size_t i = 0; i < names.size(); ++i) {
            mscabd_cabinet* cabinet = openPart(*names[i]);
            if (!cabinet) return platform::unexpected(openError(parts[i]));
            if (!first) {
                first = last = cabinet;
                continue;
            }
            if (const int code = decompressor->append(decompressor, last, cabinet);
                code != MSPACK_ERR_OK) {
                decompressor->close(decompressor, cabinet);
                return platform::unexpected(unreadable(parts[i], describeMspackError(code)));
            }
            last = cabinet;
        }
        return {};
    }

    mscabd_file* lookup(std::string_view name) {
        if (index.empty())
            for (auto* file = first->files; file; file = file->next)
                index.try_emplace(platform::asciiUpper(file->filename), file);
        const auto found = index.find(platform::asciiUpper(name));
        return found != index.end() ? found->second : nullptr;
    }
};

SourceResult<CabinetSource> CabinetSource::open(const std::filesystem::path& cabinet) {
    std::error_code status;
    if (!std::filesystem::is_regular_file(cabinet, status)) {
        const bool there = std::filesystem::exists(cabinet, status);
        return platform::unexpected(
            there ? unreadable(cabinet, "it is not a file")
                  : SourceError{SourceError::Kind::Missing,
                                "Cabinet '" + cabinet.string() + "' is not there", cabinet});
    }
    auto state = std::make_unique<State>();
    state->decompressor = mspack_create_cab_decompressor(state->streams.system());
    if (!state->decompressor)
        return platform::unexpected(unreadable(cabinet, "the cabinet reader cannot start"));
    state->names.push_back(std::make_unique<std::string>(cabinet.string()));
    state->first = state->last = state->openPart(*state->names.back());
    if (!state->first) return platform::unexpected(state->openError(cabinet));
    state->parts.push_back(cabinet);
    state->continuing = membersContinuingToNext(cabinet);
    return CabinetSource(std::move(state));
}

CabinetSource::CabinetSource(std::unique_ptr<State> state) : state_(std::move(state)) {}
CabinetSource::CabinetSource(CabinetSource&&) noexcept = default;
CabinetSource& CabinetSource::operator=(CabinetSource&&) noexcept = default;
CabinetSource::~CabinetSource() = default;

const std::filesystem::path& CabinetSource::path() const {
    return state_->parts.front();
}

const std::vector<std::filesystem::path>& CabinetSource::parts() const {
    return state_->parts;
}

SourceError CabinetSource::memberMissing(std::string_view name) const {
    return {SourceError::Kind::MemberMissing,
            "Cannot find file '" + std::string(name) + "' in cabinet '" + path().string() + "'",
            path()};
}

SourceResult<CabinetMember> CabinetSource::find(std::string_view name) const {
    if (state_->first)
        if (const auto* file = state_->lookup(name)) return describe(*file);
    return platform::unexpected(memberMissing(name));
}

bool CabinetSource::continuesPastEnd(std::string_view name) const {
    return std::ranges::any_of(state_->continuing, [&](const std::string& continuing) {
        return platform::equalsIgnoreAsciiCase(continuing, name);
    });
}

std::optional<NextCabinet> CabinetSource::next() const {
    const mscabd_cabinet* last = state_->last;
    if (!last || !(last->flags & MSCAB_HDR_NEXTCAB) || !last->nextname) return std::nullopt;
    return NextCabinet{last->nextname, last->nextinfo ? last->nextinfo : ""};
}

SourceResult<void> CabinetSource::append(const std::filesystem::path& next) {
    if (state_->spoiled || !state_->first)
        if (auto reopened = state_->reopen(); !reopened) return reopened;
    auto name = std::make_unique<std::string>(next.string());
    mscabd_cabinet* cabinet = state_->openPart(*name);
    if (!cabinet) return platform::unexpected(state_->openError(next));
    if (const int code = state_->decompressor->append(state_->decompressor, state_->last, cabinet);
        code != MSPACK_ERR_OK) {
        state_->decompressor->close(state_->decompressor, cabinet);
        return platform::unexpected(unreadable(next, "does not continue '" +
                                                         state_->parts.back().string() + "' (" +
                                                         describeMspackError(code) + ")"));
    }
    state_->names.push_back(std::move(name));
    state_->parts.push_back(next);
    state_->last = cabinet;
    state_->index.clear();
    state_->continuing = membersContinuingToNext(next);
    return {};
}

SourceResult<CabinetMember> CabinetSource::extract(std::string_view name, DataSink& sink) {
    if (state_->spoiled || !state_->first)
        if (auto reopened = state_->reopen(); !reopened)
            return platform::unexpected(reopened.error());
    auto* file = state_->lookup(name);
    if (!file) return platform::unexpected(memberMissing(name));
    const int code = state_->streams.into(sink, [&](const char* output) {
        return state_->decompressor->extract(state_->decompressor, file, output);
    });
    if (code != MSPACK_ERR_OK) {
        state_->spoiled = true;
        return platform::unexpected(decompressionFailed(
            code, state_->streams.sinkStopped(), path(),
            "member '" + std::string(file->filename) + "' of cabinet '" + path().string() + "'"));
    }
    return describe(*file);
}

}  // namespace kestrel::setup::copy
