#include "components/ComponentListBuild.h"

#include "components/ComponentListReader.h"
#include "components/InitialSelection.h"

namespace kestrel::setup {

std::optional<ComponentList> buildComponentList(OperationContext& context,
                                                std::uint32_t scriptVersion, bool askOptions,
                                                const OwnSize& ownSize) {
    ComponentReading reading;
    reading.scriptVersion = scriptVersion;
    reading.clientRun = context.run.client;
    reading.readGroups = !context.run.admin && !context.run.workstation;
    const Expander expander = context.expander();
    auto list = readComponentList(context.script, context.variables, expander, reading,
                                  [&context](const ScriptProblem& problem) {
                                      context.messages.show(problem.message, problem.args);
                                  });
    if (!list) {
        context.messages.show(list.error().message, list.error().args);
        return std::nullopt;
    }
    applyInitialSelection(*list,
                          selectionStartOf(context.run, askOptions, context.settings.machineKeyName,
                                           context.registry));
    computeSizes(*list, ownSize);
    return std::move(*list);
}

}  // namespace kestrel::setup
