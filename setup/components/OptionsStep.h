#pragma once

#include <optional>
#include <string>

#include "components/ComponentList.h"
#include "components/ComponentListReader.h"
#include "components/ComponentPage.h"
#include "messages/StringTable.h"
#include "platform/MachineRoot.h"
#include "script/RunState.h"
#include "script/Settings.h"
#include "wizard/PageHost.h"

namespace kestrel::setup {

// What the component page is set up from: the look of UseCheckmarks, the target directory
// with its free space, the decimal separator of WIN.INI, strings 5006, 5010 and 5011, the
// host files of the [Icons] pictures.
ComponentPageSetup componentPageSetup(const ApplicationSettings& settings,
                                      const platform::MachineRoot& machine,
                                      const StringTable& strings,
                                      const std::vector<IconEntry>& icons,
                                      const std::string& directory, bool maintenance);

// The wizard's components slot. In Custom mode without /O, unless silent, uninstalling or
// repeating: the OPTIONS page over the components (how it ended). Otherwise the space the
// mode needs is checked against the target directory (none given: no check): too little
// asks message 5566, where only Ignore goes on; nothing when the run goes on, Cancel
// when it does not.
class OptionsStep {
  public:
    OptionsStep(ComponentList& list, PageHost& pages, const RunState& run, ComponentPageSetup setup)
        : list_(list), pages_(pages), run_(run), setup_(std::move(setup)) {}

    bool showsPage() const;
    std::optional<PageResult> operator()(bool backEnabled);

  private:
    ComponentList& list_;
    PageHost& pages_;
    const RunState& run_;
    ComponentPageSetup setup_;
};

}  // namespace kestrel::setup
