#include "copy/FontRegistration.h"

#include "copy/IgnoreOrCancel.h"
#include "platform/AsciiCase.h"
#include "platform/WindowsPathText.h"

namespace kestrel::setup::copy {

using platform::RegistryRoot;

namespace {

// Destinations come from the script, which may write '/' between names.
constexpr auto kSeparators = platform::PathSeparators::BackslashOrSlash;

std::string fontsFolder(const OperationContext& context) {
    std::string folder = context.variables.value("Fonts");
    if (folder.empty()) {
        folder = context.registry.machine().shellFolder(platform::ShellFolder::Fonts, false);
    }
    return folder;
}

std::string valueName(const InstalledFile& file) {
    return file.extra.empty() ? std::string(platform::fileNamePart(file.destination, kSeparators))
                              : file.extra;
}

}  // namespace

bool isFontFile(std::string_view windowsPath) {
    return platform::hasExtension(windowsPath, ".ttf") ||
           platform::hasExtension(windowsPath, ".fon");
}

std::string fontsKey(const OperationContext& context) {
    return "Software\\Microsoft\\" + context.variables.value("WindowsName") +
           "\\CurrentVersion\\Fonts";
}

bool registerFont(OperationContext& context, const InstalledFile& file) {
    const bool inFontsFolder =
        platform::equalsIgnoreAsciiCase(platform::withoutTrailingBackslashes(
                                            platform::directoryPart(file.destination, kSeparators)),
                                        platform::withoutTrailingBackslashes(fontsFolder(context)));
    const std::string data =
        inFontsFolder ? std::string(platform::fileNamePart(file.destination, kSeparators))
                      : file.destination;
    const std::string name = valueName(file);
    const long error =
        context.registry.writeString(RegistryRoot::LocalMachine, fontsKey(context), name, data);
    if (error != 0) return ignoreOrCancel(context, messages::kCannotCreateKey, {name, error});
    context.run.fontsChanged = true;
    return true;
}

void unregisterFont(OperationContext& context, const InstalledFile& file) {
    const std::string key = fontsKey(context);
    if (context.registry.deleteValue(RegistryRoot::LocalMachine, key, valueName(file)) == 0) {
        (void)context.registry.removeEmptyKeys(RegistryRoot::LocalMachine, key);
        context.run.fontsChanged = true;
    }
}

}  // namespace kestrel::setup::copy
