#include "records/RecordReader.h"

#include "records/RecordKeys.h"
#include "script/Fields.h"

namespace kestrel::setup::records {

using platform::RegistryRoot;

RegisteredProduct readBackRecords(OperationContext& context) {
    if (!namesSubkey(context.settings.machineKeyName)) return {};
    RunState& run = context.run;
    BuiltinVariables& variables = context.variables;
    const std::string key = setupKey(context.settings.machineKeyName);
    const auto record = [&](RegistryRoot root, std::string_view name) {
        return readRecord(context.registry, root, key, name);
    };
    const RegistryRoot machine = RegistryRoot::LocalMachine;
    const RegistryRoot user = RegistryRoot::CurrentUser;

    RegisteredProduct product;
    variables.setDirectory("App", record(machine, "AppPath"));
    product.productName = record(machine, "ProductName");
    variables.set("User", record(machine, "RegisteredOwner"));
    variables.set("Company", record(machine, "RegisteredOrganization"));
    if (run.newInstance && !run.perUserPart) return product;

    if (run.perUserPart && (run.uninstall || run.repeat || run.maintenance)) {
        if (variables.value("App").empty()) variables.setDirectory("App", record(user, "AppPath"));
        product.productName = record(user, "ProductName");
        variables.setDirectory("Client", record(user, "ClientPath"));
    }
    if (context.settings.askDataDir && !run.workstation)
        variables.setDirectory("Data", record(recordRoot(run), "DataPath"));
    const bool registeredAdminCopy = readMark(context.registry, machine, key, "FromAdminSetup");
    if (!run.perUserPart) {
        run.adminCopy = run.adminCopy || registeredAdminCopy;
        run.workstation =
            run.workstation || readMark(context.registry, machine, key, "MachineSetup");
        run.client = run.client || readMark(context.registry, machine, key, "SharedSetup");
        run.fromCD = run.fromCD || readMark(context.registry, machine, key, "FromCD");
    }
    const bool scriptAdminCopy =
        readNumber(context.script.readValue("Admin", "AdminSetup").value_or("")) != 0;
    const bool fromReinstall = (run.extraFlags & extra::kFromReinstall) != 0 && !run.newerRevision;
    if (fromReinstall || (run.newInstance && run.perUserPart) ||
        registeredAdminCopy != scriptAdminCopy) {
        // Without a registered source the files still come from where this run started.
        if (const std::string source = record(machine, "SrcPath"); !source.empty())
            variables.setDirectory("Src", source);
    }
    return product;
}

}  // namespace kestrel::setup::records
