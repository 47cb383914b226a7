#include "ops/Operation.h"

namespace kestrel::setup {

bool runOperations(OperationList& operations, OperationContext& context, Direction direction) {
    const std::size_t count = operations.size();
    for (std::size_t i = 0; i < count; ++i) {
        Operation& operation = *operations[direction == Direction::Install ? i : count - 1 - i];
        if (context.ui().cancelRequested()) {
            context.run.abort = true;
            return false;
        }
        if (!operation.run(context, direction)) return false;
    }
    return true;
}

}  // namespace kestrel::setup
