#include "wizard/PageHost.h"

#include "messages/MessageStrings.h"
#include "wizard/FolderBrowse.h"

namespace kestrel::setup {

PageFrame PageHost::frame() const {
    return {title_, picture_, !messages_.helpFile().empty(), product_};
}

bool PageHost::confirmCancel() {
    return messages_.unanswered() || messages_.show(messages::kReallyAbort) == buttons::kYes;
}

PageResult PageHost::show(WizardPage& page, bool backEnabled) {
    page.backEnabled = backEnabled;
    page.helpVisible = page.helpVisible && !messages_.helpFile().empty();
    const int topic = kFirstHelpTopic + static_cast<int>(page.kind);
    PageActions actions;
    actions.help = [this, topic] { messages_.help(topic); };
    actions.browse = [this](const std::string& current) {
        return browseFolder(messages_.ui(), machine_, current);
    };
    actions.confirmCancel = [this, &page] { return !page.cancelConfirms || confirmCancel(); };
    const bool drafted = page.keepsDraft;
    if (drafted) drafts_.restore(page);
    for (;;) {
        const PageResult result = messages_.ui().showPage(page, actions);
        // A front end may only end the page the way its buttons allow; anything else keeps
        // the page up, as a disabled button would have.
        if (page.accepts(result)) {
            if (drafted) drafts_.remember(page, result);
            return result;
        }
    }
}

}  // namespace kestrel::setup
