#include "QtUiLibrary.h"

#include <dlfcn.h>

#include <iostream>

#include "ConsoleUi.h"
#include "QtUiEntry.h"

namespace kestrel::rclog {

std::unique_ptr<Ui> loadQtUi(const std::string& programName) {
    // Found through the program's run path, beside the client libraries. Never unloaded: Qt
    // keeps its state until the process ends.
    void* library = ::dlopen(kQtUiLibrary, RTLD_NOW | RTLD_LOCAL);
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
