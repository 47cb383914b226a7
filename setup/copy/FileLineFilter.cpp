#include "copy/FileLineFilter.h"

#include "copy/FileLine.h"

namespace kestrel::setup {

using namespace fileflag;

namespace {

// A pair of flags where a line with neither means "both".
bool eitherFits(std::uint32_t flags, std::uint32_t first, bool firstHolds, std::uint32_t second,
                bool secondHolds) {
    if (!(flags & (first | second))) return true;
    return ((flags & first) && firstHolds) || ((flags & second) && secondHolds);
}

}  // namespace

FilterContext filterContextOf(const RunState& state, bool nt, bool sharedWindows) {
    FilterContext context;
    context.admin = state.admin;
    context.uninstall = state.uninstall;
    context.workstation = state.workstation;
    context.clientOrCD = state.client || state.fromCD;
    context.perUserPart = state.perUserPart;
    context.nt = nt;
    context.sharedWindows = sharedWindows;
    return context;
}

bool FileLineFilter::fitsSystem(std::uint32_t flags) const {
    return eitherFits(flags, kWindows16, !context_.installer32, kWindows32, context_.installer32) &&
           eitherFits(flags, kDos, !context_.nt, kNt, context_.nt) &&
           eitherFits(flags, kWindows, !context_.sharedWindows, kShared, context_.sharedWindows) &&
           !(flags & kAdmin);
}

bool FileLineFilter::fitsRunKind(std::uint32_t flags, LineKind kind) const {
    const bool client = flags & kClient;
    const bool machine = flags & kMachine;
    if (client && machine && context_.perUserPart) return false;
    if (machine && !client && !context_.workstation) return false;
    if (kind == LineKind::File) {
        if (client && !machine && context_.workstation && context_.clientOrCD) return false;
        if (!client && context_.clientOrCD) return false;
    } else if (client) {
        if (context_.admin) return false;
        if (!machine && context_.workstation) return false;
    }
    return true;
}

bool FileLineFilter::applies(std::uint32_t flags, LineKind kind) const {
    if (!context_.admin && !fitsSystem(flags)) return false;
    if ((flags & kLocalApp) && (context_.clientOrCD || context_.admin)) return false;
    if (flags & (context_.uninstall ? kDontDelete : kDelete)) return false;
    return fitsRunKind(flags, kind);
}

}  // namespace kestrel::setup
