#include "QtUiLibrary.h"

#include <dlfcn.h>

#include <filesystem>
#include <iostream>

#include "ConsoleUi.h"
#include "QtUiEntry.h"
#include "platform/Places.h"

namespace kestrel::rclog {

std::unique_ptr<Ui> loadQtUi(const std::string& programName) {
    // It lies beside the client libraries, lib/ next to the program's bin/; named by its full
    // path, as a run path is not honoured when a sanitizer's dlopen stands in between. Never
    // unloaded: Qt keeps its state until the process ends.
    const std::filesystem::path path = platform::programDirectory() / ".." / "lib" / kQtUiLibrary;
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    auto* create = library != nullptr
                       ? reinterpret_cast<CreateQtUi*>(::dlsym(library, kCreateQtUiSymbol))
                       : nullptr;
    if (create == nullptr) {
        const char* why = ::dlerror();
        std::cerr << "quillbox: no windows (" << (why != nullptr ? why : kQtUiLibrary)
                  << "); messages follow here\n";
        return std::make_unique<ConsoleUi>(std::cerr);
    }
    return std::unique_ptr<Ui>(create(programName.c_str()));
}

}  // namespace kestrel::rclog
