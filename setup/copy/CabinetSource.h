#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "copy/DataSink.h"
#include "copy/SourceError.h"

namespace kestrel::setup::copy {

// What a cabinet says about a member: its stored date and time (local time) and its DOS
// attribute bits, used for the copied file's times and attributes.
struct CabinetMember {
    std::string name;
    std::uint32_t length = 0;
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0;
    std::uint32_t attributes = 0;  // read-only 0x01, hidden 0x02, system 0x04, archive 0x20
};

// The cabinet that follows in a set, as the cabinet before it names it.
struct NextCabinet {
    std::string fileName;  // a bare name, in the same directory as the cabinet before
    std::string diskName;  // the disk it is on, as the cabinet calls it
};

// An open cabinet with the cabinets of its set appended to it so far. It is opened once and
// serves any number of members; the decompressor keeps its place inside a folder, so members
// taken in folder order read each folder once rather than again from its start for every
// member.
class CabinetSource {
  public:
    [[nodiscard]] static SourceResult<CabinetSource> open(const std::filesystem::path& cabinet);

    CabinetSource(CabinetSource&&) noexcept;
    CabinetSource& operator=(CabinetSource&&) noexcept;
    ~CabinetSource();

    // The first cabinet, and every cabinet appended after it.
    const std::filesystem::path& path() const;
    const std::vector<std::filesystem::path>& parts() const;

    // The member whose name equals `name` without regard to case, if there is one.
    [[nodiscard]] SourceResult<CabinetMember> find(std::string_view name) const;

    // Whether the member's data run on past the last cabinet appended so far, and which
    // cabinet they run on into.
    bool continuesPastEnd(std::string_view name) const;
    std::optional<NextCabinet> next() const;
    // Joins the next cabinet of the set, so that members continuing into it can be read.
    [[nodiscard]] SourceResult<void> append(const std::filesystem::path& next);

    // Passes the member's data to `sink` as they are decompressed.
    [[nodiscard]] SourceResult<CabinetMember> extract(std::string_view name, DataSink& sink);

  private:
    struct State;
    explicit CabinetSource(std::unique_ptr<State> state);
    SourceError memberMissing(std::string_view name) const;

    std::unique_ptr<State> state_;
};

}  // namespace kestrel::setup::copy
