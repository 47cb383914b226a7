#include "wizard/WizardSequence.h"

#include <algorithm>

namespace kestrel::setup {

void WizardSequence::setStep(Slot slot, WizardStep step) {
    slots_[slot] = std::move(step);
}

PageResult WizardSequence::run() {
    std::vector<const WizardStep*> steps;
    for (int slot = 0; slot < kSlots; ++slot) {
        if (slot == kPrompts) {
            for (const WizardStep& prompt : prompts_) steps.push_back(&prompt);
        } else if (slots_[slot]) {
            steps.push_back(&slots_[slot]);
        }
    }
    // Which steps showed their page in this pass and were not left backwards since.
    std::vector<bool> shown(steps.size(), false);
    Travel travel = Travel::Forward;
    std::ptrdiff_t at = 0;
    const auto count = static_cast<std::ptrdiff_t>(steps.size());
    while (at < count) {
        if (at < 0) {  // passed backwards over the start: nothing left to go back to
            at = 0;
            travel = Travel::Forward;
            continue;
        }
        const bool backEnabled = std::any_of(shown.begin(), shown.begin() + at, std::identity{});
        const std::optional<PageResult> result = (*steps[at])(travel, backEnabled);
        if (!result) {
            shown[at] = false;
            at += travel == Travel::Forward ? 1 : -1;
            continue;
        }
        switch (*result) {
            case PageResult::Cancel:
                return PageResult::Cancel;
            case PageResult::Back:
                shown[at] = false;
                travel = Travel::Backward;
                --at;
                break;
            case PageResult::Next:
            case PageResult::Skip:
                shown[at] = true;
                travel = Travel::Forward;
                ++at;
                break;
        }
    }
    return PageResult::Next;
}

}  // namespace kestrel::setup
