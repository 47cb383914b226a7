#include "RmViewer.h"

#include "StartRecord.h"

namespace kestrel::rmviewer {

void startViewer(const std::vector<std::string>& argv,
                 const std::optional<std::filesystem::path>& recordFile, Ui& ui) {
    Summary summary = summarise(parseInvocation(argv));
    if (recordFile) {
        if (const std::error_code error = appendRecord(*recordFile, recordLine(argv))) {
            summary.notes.push_back("This start could not be recorded in " + recordFile->string() +
                                    ": " + error.message());
        }
    }
    ui.present(summary);
}

}  // namespace kestrel::rmviewer
