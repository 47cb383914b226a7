// The wizard's pages 0-9 in their order, moved through forward and back. A step either
// shows its page and says how it ended, or shows nothing (its condition does not hold, a
// prompt needs no page) and is passed in the direction of travel. The prompt group (8)
// counts as one step per prompt, so entering it from behind starts at its last prompt and
// Back from its first leaves it.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "wizard/WizardPage.h"

namespace kestrel::setup {

enum class Travel { Forward, Backward };

// backEnabled: a page was shown before this one in this pass.
using WizardStep = std::function<std::optional<PageResult>(Travel travel, bool backEnabled)>;

class WizardSequence {
  public:
    enum Slot {
        kLicence = 0,
        kInfo = 1,
        kFromCD = 2,
        kShared = 3,
        kMode = 4,
        kAppDir = 5,
        kDataDir = 6,
        kUser = 7,
        kPrompts = 8,
        kOptions = 9,
        kSlots = 10
    };

    // A slot's step; a slot without one shows nothing.
    void setStep(Slot slot, WizardStep step);
    // The prompts of slot 8, in order.
    void setPrompts(std::vector<WizardStep> prompts) { prompts_ = std::move(prompts); }

    // Next past the last page; Cancel when a page was cancelled.
    PageResult run();

  private:
    std::vector<WizardStep> slots_ = std::vector<WizardStep>(kSlots);
    std::vector<WizardStep> prompts_;
};

}  // namespace kestrel::setup
