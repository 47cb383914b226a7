#include "copy/WizardDiskPrompt.h"

#include "messages/MessageStrings.h"

namespace kestrel::setup::copy {

DiskAnswer WizardDiskPrompt::askFor(const DiskRequest& request) {
    if (silent_) return {DiskAnswer::Kind::Skip, {}};
    std::string directory = machine_.windowsPath(request.expected.parent_path());
    const std::string text = pages_.messages().strings().text(strings::kInsertDisk);
    for (;;) {
        WizardPage page = diskPage(pages_.frame(), text, request.label, directory);
        page.skipVisible = request.skipAllowed;
        switch (pages_.show(page, false)) {
            case PageResult::Cancel:
                return {DiskAnswer::Kind::Cancel, {}};
            case PageResult::Skip:
                return {DiskAnswer::Kind::Skip, {}};
            default:
                break;
        }
        // The page comes back with what the person typed, so they can correct it.
        directory = chosenDirectory(page);
        if (const auto host = machine_.hostPath(directory)) {
            const auto file = *host / request.expected.filename();
            std::error_code ignored;
            if (std::filesystem::is_regular_file(file, ignored))
                return {DiskAnswer::Kind::Found, file};
        }
    }
}

}  // namespace kestrel::setup::copy
