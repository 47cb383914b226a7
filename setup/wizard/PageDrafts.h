#pragma once

#include <map>
#include <string>
#include <vector>

#include "wizard/WizardPage.h"

namespace kestrel::setup {

// What the person entered on a page they left with Back: the choice and the texts of its
// fields, given back when the same page comes up again, so that going back to look at an
// earlier page loses nothing. A page counts as the same when it comes up as it did then
// (kind, text, labels, choices, presets): a page built from values that changed since
// shows those.
class PageDrafts {
  public:
    // Puts the draft of this page, if there is one, into it. Call before the page is shown.
    void restore(WizardPage& page);
    // Keeps what the page holds when it ended with Back; forgets it otherwise (Next stored
    // it, Cancel ends the wizard).
    void remember(const WizardPage& page, PageResult result);

  private:
    struct Draft {
        int chosen = 0;
        std::vector<std::string> texts;
    };
    static std::string identity(const WizardPage& page);

    std::map<std::string, Draft> drafts_;
    std::string shown_;  // the identity of the page restored last, as it came up
};

}  // namespace kestrel::setup
