// quillbox: installed as WVIEWNT.EXE beside the real viewer, it logs every session it passes on.
#include <sys/auxv.h>

#include <cstdlib>
#include <filesystem>

#include "DeferredUi.h"
#include "ProgramLocation.h"
#include "QtUiLibrary.h"
#include "Quillbox.h"
#include "platform/Places.h"

#if defined(__SANITIZE_ADDRESS__)
// Qt's probe of the session bus leaves a buffer of libdbus behind at exit; not ours to free.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n";
}
#endif

int main(int argc, char** argv) {
    using namespace kestrel::rclog;
    const std::string argv0 = argc > 0 ? argv[0] : "";
    const auto* executed = reinterpret_cast<const char*>(getauxval(AT_EXECFN));
    const char* searchPath = std::getenv("PATH");
    std::error_code ec;
    const std::filesystem::path currentDirectory = std::filesystem::current_path(ec);

    Invocation invocation;
    invocation.arguments.assign(argv, argv + argc);
    invocation.programPath =
        ownProgramPath(argv0, executed != nullptr ? executed : "", currentDirectory,
                       searchPath != nullptr ? searchPath : "", kestrel::platform::programPath());
    DeferredUi ui([&argv0] { return loadQtUi(argv0); });
    return Quillbox(ui).run(invocation);
}
