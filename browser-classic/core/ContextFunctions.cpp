// Change Start Context and Save Start Context.
#include "ClassicBrowser.h"
#include "ContextNames.h"
#include "ProfileFile.h"

namespace kestrel::classic {

void ClassicBrowser::changeStartContext() {
    std::string name = fullName(selected_);
    if (!hasContextPrefix(name)) return;
    auto entered = ui_.askNewContext(normalizePrefixes(name));
    if (!entered) return;
    std::string context = normalizePrefixes(*entered);
    if (!hasContextPrefix(context)) {
        ui_.showMessage("The context MUST start with C=, L=, S=, O= or OU=!");
        return;
    }
    showTopItem(context);
}

void ClassicBrowser::saveStartContext() {
    std::string name = fullName(selected_);
    // Only a name with one of the six prefixes reaches the dialog, so "SAVE" always has a
    // valid context to write.
    if (!hasContextPrefix(name) || !ui_.confirmSaveContext(name)) return;
    // Losing the setting silently would leave the person believing it was kept.
    if (!writeStartContext(services_.profileFile, name))
        ui_.showMessage("The start context could not be saved in " +
                        services_.profileFile.string() + "!");
}

}  // namespace kestrel::classic
