#pragma once

#include <vector>

#include "messages/MessageStrings.h"
#include "ops/OperationContext.h"

namespace kestrel::setup::copy {

// A failure shown with Ignore and Cancel: Ignore goes on (true); anything else cancels the
// run.
inline bool ignoreOrCancel(OperationContext& context, int message,
                           const std::vector<MessageArg>& args) {
    if (context.messages.show(message, args) == buttons::kIgnore) return true;
    context.run.abort = true;
    return false;
}

}  // namespace kestrel::setup::copy
