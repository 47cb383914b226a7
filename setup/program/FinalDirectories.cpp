#include "program/FinalDirectories.h"

namespace kestrel::setup {

void setFinalDirectories(const RunState& run, BuiltinVariables& variables) {
    variables.setDirectory("App", variables.value("App"));
    variables.setDirectory("Client", variables.value("Client"));
    if (run.workstation && (run.client || run.fromCD))
        variables.setDirectory("Client", variables.value("Src"));
    else if (variables.value("Client").empty())
        variables.setDirectory("Client", variables.value("App"));
    if ((run.client && !run.perUserPart) || run.fromCD)
        variables.setDirectory("App", variables.value("Src"));
}

}  // namespace kestrel::setup
