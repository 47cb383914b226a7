#include "system/OdbcInstaller.h"

#include "platform/AsciiCase.h"
#include "system/SystemRegistry.h"

namespace kestrel::setup {

namespace {

using platform::RegistryRoot;

constexpr std::string_view kInstKey = "Software\\ODBC\\ODBCINST.INI";
constexpr std::string_view kSourcesKey = "Software\\ODBC\\ODBC.INI";
constexpr std::string_view kUsageCount = "UsageCount";

std::string child(std::string_view parent, std::string_view name) {
    return std::string(parent) + "\\" + std::string(name);
}

RegistryRoot sourcesRoot(bool system) {
    return system ? RegistryRoot::LocalMachine : RegistryRoot::CurrentUser;
}

bool is(std::string_view key, std::string_view name) {
    return platform::equalsIgnoreAsciiCase(key, name);
}

// The libraries of a component are named bare in the attributes and live in `directory`.
std::string inDirectory(std::string_view directory, std::string_view file) {
    if (directory.empty() || file.find_first_of("\\:") != std::string_view::npos)
        return std::string(file);
    std::string path(directory);
    if (path.back() != '\\') path += '\\';
    return path + std::string(file);
}

}  // namespace

bool OdbcInstaller::installDriverManager() {
    return addUse(child(kInstKey, "ODBC Core"));
}

bool OdbcInstaller::removeDriverManager() {
    const std::string key = child(kInstKey, "ODBC Core");
    if (lastUse(key)) tidy(RegistryRoot::LocalMachine, key);
    return true;
}

bool OdbcInstaller::installDriver(std::string_view name, const OdbcAttributes& attributes,
                                  std::string_view directory) {
    return installComponent("ODBC Drivers", name, attributes, directory);
}

bool OdbcInstaller::installTranslator(std::string_view name, const OdbcAttributes& attributes,
                                      std::string_view directory) {
    return installComponent("ODBC Translators", name, attributes, directory);
}

bool OdbcInstaller::removeDriver(std::string_view name) {
    return removeComponent("ODBC Drivers", name);
}

bool OdbcInstaller::removeTranslator(std::string_view name) {
    return removeComponent("ODBC Translators", name);
}

bool OdbcInstaller::installComponent(std::string_view list, std::string_view name,
                                     const OdbcAttributes& attributes, std::string_view directory) {
    if (name.empty() || name.find('\\') != std::string_view::npos) return false;
    const std::string key = child(kInstKey, name);
    for (const auto& [attribute, value] : attributes) {
        const bool library =
            is(attribute, "Driver") || is(attribute, "Translator") || is(attribute, "Setup");
        if (is(attribute, kUsageCount)) continue;  // ours to keep
        if (registry_.writeString(RegistryRoot::LocalMachine, key, attribute,
                                  library ? inDirectory(directory, value) : value) != 0)
            return false;
    }
    return registry_.writeString(RegistryRoot::LocalMachine, child(kInstKey, list), name,
                                 "Installed") == 0 &&
           addUse(key);
}

bool OdbcInstaller::removeComponent(std::string_view list, std::string_view name) {
    const std::string key = child(kInstKey, name);
    if (!registry_.keyExists(RegistryRoot::LocalMachine, key)) return true;
    if (!lastUse(key)) return true;
    if (registry_.deleteTree(RegistryRoot::LocalMachine, key) != 0) return false;
    const std::string listKey = child(kInstKey, list);
    (void)registry_.deleteValue(RegistryRoot::LocalMachine, listKey, name);
    tidy(RegistryRoot::LocalMachine, listKey);
    return true;
}

bool OdbcInstaller::addDataSource(bool system, std::string_view driver,
                                  const OdbcAttributes& attributes) {
    std::string dsn;
    for (const auto& [attribute, value] : attributes) {
        if (is(attribute, "DSN")) dsn = value;
    }
    // The driver's setup library does this work on Windows: no installed driver, no source.
    const std::optional<std::string> library =
        readString(registry_, RegistryRoot::LocalMachine, child(kInstKey, driver), "Driver");
    if (dsn.empty() || dsn.find('\\') != std::string::npos || !library) return false;
    const RegistryRoot root = sourcesRoot(system);
    const std::string key = child(kSourcesKey, dsn);
    if (registry_.writeString(root, key, "Driver", *library) != 0) return false;
    for (const auto& [attribute, value] : attributes) {
        if (is(attribute, "DSN") || is(attribute, "DriverName") || is(attribute, "Driver"))
            continue;
        if (registry_.writeString(root, key, attribute, value) != 0) return false;
    }
    return registry_.writeString(root, child(kSourcesKey, "ODBC Data Sources"), dsn, driver) == 0;
}

bool OdbcInstaller::removeDataSource(bool system, std::string_view dsn) {
    const RegistryRoot root = sourcesRoot(system);
    const std::string key = child(kSourcesKey, dsn);
    if (dsn.empty()) return false;
    if (registry_.keyExists(root, key) && registry_.deleteTree(root, key) != 0) return false;
    const std::string listKey = child(kSourcesKey, "ODBC Data Sources");
    (void)registry_.deleteValue(root, listKey, dsn);
    tidy(root, listKey);
    return true;
}

bool OdbcInstaller::addUse(const std::string& key) {
    const std::uint32_t uses =
        readDword(registry_, RegistryRoot::LocalMachine, key, kUsageCount).value_or(0);
    return writeDword(registry_, RegistryRoot::LocalMachine, key, kUsageCount, uses + 1) == 0;
}

bool OdbcInstaller::lastUse(const std::string& key) {
    const std::uint32_t uses =
        readDword(registry_, RegistryRoot::LocalMachine, key, kUsageCount).value_or(0);
    if (uses > 1) {
        (void)writeDword(registry_, RegistryRoot::LocalMachine, key, kUsageCount, uses - 1);
        return false;
    }
    (void)registry_.deleteValue(RegistryRoot::LocalMachine, key, kUsageCount);
    return true;
}

// Keys left without subkeys and values go, up to Software, as Windows' ODBC leaves none.
void OdbcInstaller::tidy(RegistryRoot root, const std::string& key) {
    if (registry_.isEmptyKey(root, key)) (void)registry_.removeEmptyKeys(root, key);
}

}  // namespace kestrel::setup
