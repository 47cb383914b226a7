#pragma once

#include <memory>
#include <vector>

#include "ops/OperationContext.h"

namespace kestrel::setup {

enum class Direction { Install, Uninstall };

// One line of a work section, parsed once into what it does. The same object installs and,
// at uninstallation, undoes what it installed. Operations run inside a plan step
// (plan/PlanRunner.h), which owns the order, Cancel and the registry's save point.
class Operation {
  public:
    virtual ~Operation() = default;
    // false: the section fails.
    virtual bool install(OperationContext& context) = 0;
    virtual bool uninstall(OperationContext& context) = 0;

    bool run(OperationContext& context, Direction direction) {
        return direction == Direction::Install ? install(context) : uninstall(context);
    }
};

using OperationList = std::vector<std::unique_ptr<Operation>>;

}  // namespace kestrel::setup
