#include "system/OdbcOperation.h"

#include "messages/MessageStrings.h"
#include "ops/FileChange.h"
#include "platform/AsciiCase.h"
#include "platform/JournaledFiles.h"
#include "platform/ProfileFunctions.h"
#include "platform/WindowsPathText.h"
#include "system/SystemRegistry.h"

namespace kestrel::setup {

namespace {

namespace fs = std::filesystem;
using platform::RegistryRoot;

constexpr std::string_view kFileDsnKey = "Software\\ODBC\\ODBC.INI\\ODBC File DSN";
constexpr std::string_view kDefaultDsnDir = "DefaultDSNDir";

// The component's name, its library's directory (passed apart) and the attributes with the
// library's bare name.
struct Component {
    std::string name;
    std::string directory;
    OdbcAttributes attributes;
};

Component componentOf(const OdbcAttributes& attributes, std::string_view nameKey,
                      std::string_view libraryKey) {
    Component component{odbcAttribute(attributes, nameKey), {}, attributes};
    for (auto& [key, value] : component.attributes) {
        if (!platform::equalsIgnoreAsciiCase(key, libraryKey)) continue;
        const std::size_t slash = value.find_last_of('\\');
        if (slash == std::string::npos) continue;
        component.directory = value.substr(0, slash);
        value.erase(0, slash + 1);
    }
    return component;
}

std::string defaultDsnDirectory(OperationContext& context) {
    return context.expander().expand("%CommonFilesDir%") + "\\ODBC\\Data Sources";
}

}  // namespace

bool OdbcOperation::install(OperationContext& context) {
    if (refused_) return failed(context);
    return installed(context) || failed(context);
}

bool OdbcOperation::uninstall(OperationContext& context) {
    if (refused_) return true;  // it installed nothing
    return removed(context) || failed(context);
}

bool OdbcOperation::failed(OperationContext& context) const {
    return context.messages.show(messages::kOdbcFailed, {section_}) == buttons::kIgnore;
}

bool OdbcOperation::installed(OperationContext& context) {
    OdbcInstaller odbc(context.registry);
    switch (kind_) {
        case OdbcKind::Core:
            return odbc.installDriverManager();
        case OdbcKind::Driver: {
            const Component driver = componentOf(attributes_, "DriverName", "Driver");
            if (doneBefore_ && !odbc.removeDriver(driver.name)) return false;
            return odbc.installDriver(driver.name, driver.attributes, driver.directory);
        }
        case OdbcKind::Translator: {
            const Component translator = componentOf(attributes_, "TranslatorName", "Translator");
            if (doneBefore_ && !odbc.removeTranslator(translator.name)) return false;
            return odbc.installTranslator(translator.name, translator.attributes,
                                          translator.directory);
        }
        case OdbcKind::UserDsn:
        case OdbcKind::SystemDsn:
            return odbc.addDataSource(kind_ == OdbcKind::SystemDsn,
                                      odbcAttribute(attributes_, "DriverName"), attributes_);
        case OdbcKind::FileDsn:
            break;
    }
    const std::optional<std::string> file = fileDsn(context, true);
    const auto host = file ? context.registry.machine().hostPath(*file) : std::nullopt;
    if (!host) return false;
    return platform::editProfile(*host, [&](platform::ProfileDocument& document) {
        for (const auto& [key, value] : attributes_) {
            if (platform::equalsIgnoreAsciiCase(key, "FileName")) continue;
            if (!document.set("ODBC", key, value)) return false;
        }
        return true;
    });
}

bool OdbcOperation::removed(OperationContext& context) {
    OdbcInstaller odbc(context.registry);
    switch (kind_) {
        case OdbcKind::Core:
            return odbc.removeDriverManager();
        case OdbcKind::Driver:
            return odbc.removeDriver(odbcAttribute(attributes_, "DriverName"));
        case OdbcKind::Translator:
            return odbc.removeTranslator(odbcAttribute(attributes_, "TranslatorName"));
        case OdbcKind::UserDsn:
        case OdbcKind::SystemDsn:
            return odbc.removeDataSource(kind_ == OdbcKind::SystemDsn,
                                         odbcAttribute(attributes_, "DSN"));
        case OdbcKind::FileDsn:
            break;
    }
    const std::optional<std::string> file = fileDsn(context, false);
    const auto host = file ? context.registry.machine().hostPath(*file) : std::nullopt;
    if (!host) return false;
    if (platform::journaled::removeFile(*host)) return false;
    std::error_code error;
    removeEmptyFolders(context.registry.machine(), host->parent_path());
    // The default folder this file was the last of goes with it, and so does the setting
    // that named it; the next file data source writes both again.
    const std::string folder = defaultDsnDirectory(context);
    const auto folderHost = context.registry.machine().hostPath(folder);
    const std::optional<std::string> named =
        readString(context.registry, RegistryRoot::LocalMachine, kFileDsnKey, kDefaultDsnDir);
    if (named && platform::equalsIgnoreAsciiCase(*named, folder) && folderHost &&
        !fs::exists(*folderHost, error)) {
        (void)context.registry.deleteValue(RegistryRoot::LocalMachine, kFileDsnKey, kDefaultDsnDir);
        if (context.registry.isEmptyKey(RegistryRoot::LocalMachine, kFileDsnKey))
            (void)context.registry.removeEmptyKeys(RegistryRoot::LocalMachine, kFileDsnKey);
    }
    return true;
}

std::optional<std::string> OdbcOperation::fileDsn(OperationContext& context, bool install) const {
    std::string name = odbcAttribute(attributes_, "FileName");
    if (name.empty()) return std::nullopt;
    if (!platform::hasExtension(name, ".dsn")) name += ".dsn";
    if (name.find_first_of("\\:") != std::string::npos) return name;
    std::optional<std::string> directory =
        readString(context.registry, RegistryRoot::LocalMachine, kFileDsnKey, kDefaultDsnDir);
    if (!directory || directory->empty()) {
        if (!install) return std::nullopt;  // no folder, so no file of ours
        directory = defaultDsnDirectory(context);
        if (context.registry.writeString(RegistryRoot::LocalMachine, kFileDsnKey, kDefaultDsnDir,
                                         *directory) != 0)
            return std::nullopt;
    }
    if (directory->back() != '\\') *directory += '\\';
    return *directory + name;
}

}  // namespace kestrel::setup
