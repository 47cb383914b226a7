#pragma once

#include <memory>
#include <vector>

#include "ops/OperationContext.h"

namespace kestrel::setup {

enum class Direction { Install, Uninstall };

// One line of a work section, parsed once into what it does. The same object installs and,
// at uninstallation, undoes what it installed.
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

// Runs the operations in order when installing and from the last to the first when
// uninstalling, letting the window breathe between them; the person's Cancel sets the abort
// flag and stops. false when an operation failed or the run was cancelled.
bool runOperations(OperationList& operations, OperationContext& context, Direction direction);

}  // namespace kestrel::setup
