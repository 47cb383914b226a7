#include "QtUiLibrary.h"

#include <dlfcn.h>

#include <iostream>

#include "ConsoleUi.h"
#include "LibrarySearch.h"
#include "QtUiEntry.h"
#include "platform/Places.h"

namespace kestrel::rclog {

std::unique_ptr<Ui> loadQtUi(const std::string& programName) {
    // It lies beside the client libraries: lib/ next to a build tree's bin/, lib/kestrel/ in
    // an installed layout, or wherever the program's run path leads, also for a copy of the
    // program in another folder. Never unloaded: Qt keeps its state until the process ends.
    const auto places =
        libraryPlaces(kQtUiLibrary, platform::programDirectory(), programLibrarySearchPath());
    auto library = openLibrary(kQtUiLibrary, places, RTLD_NOW | RTLD_LOCAL);
    auto create =
        library ? library->symbol(kCreateQtUiSymbol) : platform::unexpected(library.error());
    if (!create) {
        std::cerr << "quillbox: no windows (" << create.error() << "); messages follow here\n";
        return std::make_unique<ConsoleUi>(std::cerr);
    }
    library->keepLoaded();
    return std::unique_ptr<Ui>(reinterpret_cast<CreateQtUi*>(*create)(programName.c_str()));
}

}  // namespace kestrel::rclog
