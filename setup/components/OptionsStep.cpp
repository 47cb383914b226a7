#include "components/OptionsStep.h"

#include <algorithm>

#include "components/ComponentSizes.h"
#include "messages/MessageStrings.h"
#include "wizard/Pages.h"

namespace kestrel::setup {

ComponentPageSetup componentPageSetup(const ApplicationSettings& settings,
                                      const platform::MachineRoot& machine,
                                      const StringTable& strings,
                                      const std::vector<IconEntry>& icons,
                                      const std::string& directory, bool maintenance) {
    ComponentPageSetup setup;
    setup.look = static_cast<CheckLook>(std::clamp(settings.useCheckmarks, 0, 2));
    setup.directory = directory;
    setup.available = directory.empty() ? 0 : freeSpace(machine, directory);
    setup.decimal = decimalSeparator(machine);
    setup.countFormat = strings.text(strings::kComponentsSelected);
    setup.neededLabel = strings.text(strings::kSpaceNeeded);
    setup.availableLabel = strings.text(strings::kSpaceAvailable);
    setup.maintenance = maintenance;
    for (const IconEntry& icon : icons) {
        const auto host = icon.picture.empty() ? std::nullopt : machine.hostPath(icon.picture);
        setup.iconFiles.push_back(host ? host->string() : std::string());
    }
    return setup;
}

bool OptionsStep::showsPage() const {
    return run_.mode == SetupMode::Custom && run_.options.empty() && !run_.silent &&
           !run_.uninstall && !run_.repeat;
}

std::optional<PageResult> OptionsStep::operator()(bool backEnabled) {
    if (showsPage()) {
        ComponentPage components(list_, setup_);
        WizardPage page = optionsPage(pages_.frame(), components);
        return pages_.show(page, backEnabled);
    }
    if (setup_.directory.empty() || run_.uninstall) return std::nullopt;
    if (neededSize(list_, run_.mode, setup_.maintenance) <= setup_.available) return std::nullopt;
    if (pages_.messages().show(messages::kNotEnoughSpace, {setup_.directory}) == buttons::kIgnore)
        return std::nullopt;
    return PageResult::Cancel;
}

}  // namespace kestrel::setup
