#include "copy/FontRegistration.h"

#include "copy/IgnoreOrCancel.h"
#include "platform/AsciiCase.h"

namespace kestrel::setup::copy {

using platform::RegistryRoot;

namespace {

std::string_view withoutTrailingBackslashes(std::string_view path) {
    while (path.ends_with('\\')) path.remove_suffix(1);
    return path;
}

std::string_view bareName(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view folderOf(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
}

std::string fontsFolder(const OperationContext& context) {
    std::string folder = context.variables.value("Fonts");
    if (folder.empty()) {
        folder = context.registry.machine().shellFolder(platform::ShellFolder::Fonts, false);
    }
    return folder;
}

std::string valueName(const InstalledFile& file) {
    return file.extra.empty() ? std::string(bareName(file.destination)) : file.extra;
}

}  // namespace

bool isFontFile(std::string_view windowsPath) {
    const std::string_view name = bareName(windowsPath);
    return platform::asciiLower(name).ends_with(".ttf") ||
           platform::asciiLower(name).ends_with(".fon");
}

std::string fontsKey(const OperationContext& context) {
    return "Software\\Microsoft\\" + context.variables.value("WindowsName") +
           "\\CurrentVersion\\Fonts";
}

bool registerFont(OperationContext& context, const InstalledFile& file) {
    const bool inFontsFolder =
        platform::equalsIgnoreAsciiCase(withoutTrailingBackslashes(folderOf(file.destination)),
                                        withoutTrailingBackslashes(fontsFolder(context)));
    const std::string data =
        inFontsFolder ? std::string(bareName(file.destination)) : file.destination;
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
