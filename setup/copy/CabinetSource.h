#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "copy/SourceError.h"

struct mscab_decompressor;
struct mscabd_cabinet;
struct mscabd_file;

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

// One wanted member and the host file to write it to.
struct MemberRequest {
    std::string name;
    std::filesystem::path target;
};

// An open cabinet. It is opened once and serves any number of members; the decompressor
// keeps its place inside a folder, so members are extracted in folder order to read each
// folder once rather than again from its start for every member.
class CabinetSource {
  public:
    [[nodiscard]] static SourceResult<CabinetSource> open(const std::filesystem::path& cabinet);

    CabinetSource(CabinetSource&&) noexcept;
    CabinetSource& operator=(CabinetSource&&) noexcept;
    ~CabinetSource();

    const std::filesystem::path& path() const { return path_; }
    std::vector<CabinetMember> members() const;

    // The member whose name equals `name` without regard to case, if there is one.
    [[nodiscard]] SourceResult<CabinetMember> find(std::string_view name) const;

    // Writes the member to `target`; on failure nothing is left under the target's name.
    [[nodiscard]] SourceResult<CabinetMember> extract(std::string_view name,
                                                      const std::filesystem::path& target);

    // Extracts several members in the cabinet's folder order; the results stand in the order
    // of the requests.
    [[nodiscard]] std::vector<SourceResult<CabinetMember>> extract(
        const std::vector<MemberRequest>& requests);

  private:
    CabinetSource(std::filesystem::path path, mscab_decompressor* decompressor,
                  mscabd_cabinet* cabinet);
    mscabd_file* lookup(std::string_view name) const;
    SourceError memberMissing(std::string_view name) const;
    void close();

    std::filesystem::path path_;
    mscab_decompressor* decompressor_ = nullptr;
    mscabd_cabinet* cabinet_ = nullptr;
};

}  // namespace kestrel::setup::copy
