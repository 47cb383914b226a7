#include "records/ProgramLaunch.h"

#include "messages/MessageStrings.h"

namespace kestrel::setup::records {

bool startProgram(OperationContext& context, commands::ProgramStarter& starter,
                  std::string_view command, bool wait) {
    const std::uint32_t error = starter.start(command, {}, wait);
    if (error == 0) return true;
    context.messages.show(messages::kCannotExecute, {command, error});
    return false;
}

}  // namespace kestrel::setup::records
