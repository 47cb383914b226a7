#include "wizard/PageDrafts.h"

namespace kestrel::setup {

std::string PageDrafts::identity(const WizardPage& page) {
    // Fields are separated by a character no installer text holds.
    std::string key = std::to_string(static_cast<int>(page.kind)) + '\x1f' + page.text + '\x1f' +
                      std::to_string(page.chosen);
    for (const PageChoice& choice : page.choices) key += '\x1f' + choice.text + choice.detail;
    for (const EditField& field : page.fields) key += '\x1f' + field.label() + '=' + field.text();
    return key;
}

void PageDrafts::restore(WizardPage& page) {
    shown_ = identity(page);
    const auto found = drafts_.find(shown_);
    if (found == drafts_.end()) return;
    page.chosen = found->second.chosen;
    for (std::size_t i = 0; i < page.fields.size() && i < found->second.texts.size(); ++i)
        page.fields[i].setText(found->second.texts[i]);
}

void PageDrafts::remember(const WizardPage& page, PageResult result) {
    if (result != PageResult::Back) {
        drafts_.erase(shown_);
        return;
    }
    Draft draft{page.chosen, {}};
    for (const EditField& field : page.fields) draft.texts.push_back(field.text());
    drafts_[shown_] = std::move(draft);
}

}  // namespace kestrel::setup
