#include "plan/SectionUsage.h"

#include "script/Fields.h"

namespace kestrel::setup {

namespace {

platform::RegistryRoot rootOf(const OperationContext& context) {
    return context.run.perUserPart ? platform::RegistryRoot::CurrentUser
                                   : platform::RegistryRoot::LocalMachine;
}

std::string keyOf(const OperationContext& context) {
    return "Software\\" + context.settings.machineKeyName + "\\Setup\\Sections";
}

}  // namespace

bool SectionUsage::active() const {
    return !context_.run.admin && !context_.settings.machineKeyName.empty();
}

std::optional<int> SectionUsage::count(std::string_view section) const {
    if (!active()) return std::nullopt;
    std::string text;
    if (context_.registry.readText(rootOf(context_), keyOf(context_), section, &text) != 0)
        return 0;
    return std::max(0, static_cast<int>(readNumber(text)));
}

bool SectionUsage::doneBefore(std::string_view section) const {
    if (context_.settings.serviceRelease) return true;
    if (!active()) return false;
    std::string text;
    if (context_.registry.readText(rootOf(context_), keyOf(context_), section, &text) != 0)
        return false;
    return !text.empty() && text.front() == '1';
}

// The count is bookkeeping beside the section's own work: a count that cannot be written
// stops nothing, and the next run reads it as it is.
void SectionUsage::store(std::string_view section, int count) {
    if (count <= 0) {
        (void)context_.registry.deleteValue(rootOf(context_), keyOf(context_), section);
    } else {
        (void)context_.registry.writeString(rootOf(context_), keyOf(context_), section,
                                            std::to_string(count));
    }
}

void SectionUsage::countInstall(std::string_view section) {
    const auto current = count(section);
    if (!current || context_.run.repeat || context_.run.newInstance) return;
    store(section, *current + 1);
}

bool SectionUsage::countUninstall(std::string_view section) {
    const auto current = count(section);
    if (!current) return true;
    const int remaining = std::max(0, *current - 1);
    store(section, remaining);
    return remaining == 0;
}

}  // namespace kestrel::setup
