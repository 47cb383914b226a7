#pragma once

#include <cstdint>
#include <optional>

#include "components/ComponentList.h"
#include "components/ComponentSizes.h"
#include "ops/OperationContext.h"

namespace kestrel::setup {

// The run's component list, built once the script's settings and [Environment] are read:
// the component sections as the run's kind reads them (unknown names in dependency and
// group lines said with 5529, the run going on), the first selection from the run and the
// installation's records, then the sizes. nullopt, after its message (5533, 5530), when the
// run cannot go on. `askOptions` is the AskOptions of the run's kind.
std::optional<ComponentList> buildComponentList(OperationContext& context,
                                                std::uint32_t scriptVersion, bool askOptions,
                                                const OwnSize& ownSize);

}  // namespace kestrel::setup
