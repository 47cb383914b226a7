#pragma once

#include <cstdint>

#include "script/RunState.h"

namespace kestrel::setup {

enum class LineKind { File, Include };

// What decides whether a file or include line applies to this run.
struct FilterContext {
    bool admin = false;        // an administrator installation
    bool uninstall = false;    // the lines are being removed
    bool workstation = false;  // a workstation installation
    bool clientOrCD = false;   // started from a server or from CD
    bool perUserPart = false;
    bool installer32 = true;     // this installer runs as a 32-bit program
    bool nt = true;              // the machine root is an NT system, not 95/98
    bool sharedWindows = false;  // the system directory lies outside the Windows directory
};

// The run kind as the run state says it; `nt` and `sharedWindows` come from the machine root.
FilterContext filterContextOf(const RunState& state, bool nt, bool sharedWindows);

// Whether a line with these file flags is used in this run.
class FileLineFilter {
  public:
    explicit FileLineFilter(const FilterContext& context) : context_(context) {}
    [[nodiscard]] bool applies(std::uint32_t fileFlags, LineKind kind) const;

  private:
    [[nodiscard]] bool fitsSystem(std::uint32_t flags) const;
    [[nodiscard]] bool fitsRunKind(std::uint32_t flags, LineKind kind) const;

    FilterContext context_;
};

}  // namespace kestrel::setup
