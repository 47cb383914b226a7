#include "QtUiLibrary.h"

#include <dlfcn.h>

#include <filesystem>
#include <iostream>

#include "ConsoleUi.h"
#include "QtUiEntry.h"
#include "platform/Places.h"
#include "platform/SharedLibrary.h"

namespace kestrel::rclog {

std::unique_ptr<Ui> loadQtUi(const std::string& programName) {
    // It lies beside the client libraries, lib/ next to the program's bin/; named by its full
    // path, as a run path is not honoured when a sanitizer's dlopen stands in between. Never
    // unloaded: Qt keeps its state until the process ends.
    const std::filesystem::path path = platform::programDirectory() / ".." / "lib" / kQtUiLibrary;
    auto library = platform::SharedLibrary::open(path.string(), RTLD_NOW | RTLD_LOCAL);
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
