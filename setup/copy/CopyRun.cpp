#include "copy/CopyRun.h"

namespace kestrel::setup::copy {

namespace {

// The host folder of the script's source directory, where the cabinets are looked for.
std::filesystem::path sourceDirectory(OperationContext& context) {
    return context.registry.machine()
        .hostPath(context.variables.value("Src"))
        .value_or(std::filesystem::path());
}

}  // namespace

CopyRun::CopyRun(OperationContext& context, ProgressWindow& progress, PageHost& pages,
                 RegistrationHooks& registration, CopyHook* hook)
    : context_(context),
      labels_(context.script, context.expander(), context.messages.strings()),
      prompt_(pages, context.registry.machine(), context.run.silent),
      cabinets_(sourceDirectory(context),
                context.expander().expand(context.settings.cabTemplateName), labels_, prompt_),
      sources_(cabinets_),
      judge_(context.messages, context.run, context.registry.machine()),
      inUse_(context.registry.machine(), context.run),
      followUps_(context, inUse_, registration),
      runtimeCheck_(context.messages, context.run, context.registry.machine(), progress),
      copier_(context, progress, CopyServices{sources_, judge_, followUps_, inUse_, hook}),
      sections_(context, copier_) {
    copier_.setRuntimeCheck(&runtimeCheck_);
}

void CopyRun::finish() {
    runtimeCheck_.run(context_.variables.value("App"));
}

}  // namespace kestrel::setup::copy
