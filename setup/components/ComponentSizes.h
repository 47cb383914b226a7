#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "components/ComponentList.h"
#include "platform/MachineRoot.h"
#include "script/RunState.h"

namespace kestrel::setup {

// The bytes a component's own work section needs in this run.
using OwnSize = std::function<std::int64_t(const ComponentList& list, int index)>;

// Sets every component's own size and its total: the own size plus the children's totals,
// but only the largest child's when all children belong to one and the same group (one of
// them is installed). Called again when the run's kind changes what the sections need.
void computeSizes(ComponentList& list, const OwnSize& ownSize);

// The bytes a mode needs: Full counts every component, Standard those with DEFAULT or
// COPYALWAYS, Custom the selected ones, each group of alternatives with its largest counted
// member. In maintenance a component counts when its selection differs from its installed
// mark, negative when it is to be removed.
std::int64_t neededSize(const ComponentList& list, SetupMode mode, bool maintenance = false);

// Free bytes on the drive of a Windows directory, asked of the host folder behind the
// drive; a UNC path counts as 0x7FFFFFFF bytes, a drive the root does not have as 0.
std::int64_t freeSpace(const platform::MachineRoot& machine, std::string_view directory);
inline constexpr std::int64_t kUncFreeSpace = 0x7FFFFFFF;

// WIN.INI [intl] sDecimal, "." when unset.
std::string decimalSeparator(const platform::MachineRoot& machine);
// A mode's size: "%ld Bytes" below 1024, "%.0lf KB" below 1 MB, else "%.0lf MB".
std::string modeSizeText(std::int64_t bytes, std::string_view decimal);
// The component page's figures: "%.0lf KB  " below 1 MB, else "%.1lf MB  ".
std::string pageSizeText(std::int64_t bytes, std::string_view decimal);

}  // namespace kestrel::setup
