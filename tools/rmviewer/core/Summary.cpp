#include "Summary.h"

namespace kestrel::rmviewer {

namespace {

using State = SummaryRow::State;

SummaryRow fieldRow(std::string key, std::string label, const std::optional<std::string>& value) {
    if (!value) return {std::move(key), std::move(label), kNotGiven, State::Missing};
    if (value->empty()) return {std::move(key), std::move(label), kEmpty, State::Missing};
    return {std::move(key), std::move(label), *value, State::Given};
}

SummaryRow programRow(const Invocation& invocation) {
    if (invocation.program == Program::Unknown) {
        return {"program", "Program",
                "unknown: started as \"" + invocation.startedAs +
                    "\" instead of WVIEWNT.EXE or DESKTOP.EXE",
                State::Problem};
    }
    return {"program", "Program", std::string(programFileName(invocation.program)), State::Given};
}

SummaryRow functionRow(const Invocation& invocation, const std::optional<FunctionInfo>& info) {
    SummaryRow row = fieldRow("function", "Function", invocation.function);
    if (row.state != State::Given) return row;
    if (!info) {
        row.value += " (unknown function)";
        row.state = State::Problem;
    } else if (invocation.program != Program::Unknown && info->program != invocation.program) {
        row.value += " (a function of " + std::string(programFileName(info->program)) +
                     ", not of " + std::string(programFileName(invocation.program)) + ")";
        row.state = State::Problem;
    } else {
        row.value += ": " + std::string(info->description);
    }
    return row;
}

std::string joinedForDisplay(const std::vector<std::string>& arguments) {
    std::string text;
    for (const std::string& argument : arguments) {
        if (!text.empty()) text += ' ';
        text += '"' + argument + '"';
    }
    return text;
}

}  // namespace

Summary summarise(const Invocation& invocation) {
    Summary summary;
    summary.program = invocation.program;
    const std::optional<FunctionInfo> info =
        invocation.function ? functionInfo(*invocation.function) : std::nullopt;
    const bool container = info && info->namesContainer;

    const std::string name(programFileName(invocation.program));
    summary.heading = name.empty() ? "Remote-management stand-in" : name + " stand-in";
    summary.purpose = name.empty() ? "Started under a name that is neither WVIEWNT.EXE nor "
                                     "DESKTOP.EXE, so it stands for neither program. Place it "
                                     "under one of these names."
                                   : "Stands in for the remote-management program " + name + " (" +
                                         std::string(programPurpose(invocation.program)) +
                                         "): it shows what it was asked to do.";
    summary.title = !name.empty()                   ? name
                    : !invocation.startedAs.empty() ? invocation.startedAs
                                                    : "rmviewer";
    if (invocation.function && !invocation.function->empty()) {
        summary.title += " - " + *invocation.function;
    }
    if (invocation.target && !invocation.target->empty())
        summary.title += " - " + *invocation.target;

    summary.rows.push_back(programRow(invocation));
    summary.rows.push_back(functionRow(invocation, info));
    summary.rows.push_back(
        fieldRow("target", container ? "Container" : "Workstation", invocation.target));
    summary.rows.push_back(fieldRow("tree", "Tree", invocation.tree));
    if (invocation.inventoryServer || (info && info->needsInventoryServer)) {
        summary.rows.push_back(
            fieldRow("inventoryServer", "Inventory server", invocation.inventoryServer));
    }
    if (invocation.product)
        summary.rows.push_back(fieldRow("product", "Product (-s)", invocation.product));
    if (!invocation.unrecognised.empty()) {
        summary.rows.push_back({"unrecognised", "Unrecognised arguments",
                                joinedForDisplay(invocation.unrecognised), State::Problem});
    }
    summary.rows.push_back({"startedAs", "Started as", invocation.startedAs, State::Given});
    return summary;
}

}  // namespace kestrel::rmviewer
