#include "ops/RegistryServices.h"

#include <algorithm>
#include <cstdio>

#include "platform/WindowsErrors.h"

namespace kestrel::setup {

using platform::RegistryRoot;
using platform::RegistryValue;

RegistryServices::RegistryServices(platform::MachineRoot& machine, const Environment& environment)
    : machine_(machine),
      codePage_(platform::ansiCodePage(machine.registry())),
      environment_(environment) {}

RegistryServices::Target RegistryServices::map(RegistryRoot root, std::string_view key) const {
    if (root == RegistryRoot::CurrentUser && windowsUserSid_) {
        return {RegistryRoot::Users, *windowsUserSid_ + "\\" + utf8(key)};
    }
    // The installer's view: a 32-bit program's on a 64-bit root.
    auto [viewRoot, viewPath] = machine_.registryView(root, utf8(key));
    return {viewRoot, std::move(viewPath)};
}

long RegistryServices::readValue(RegistryRoot root, std::string_view key, std::string_view name,
                                 RegistryValue* value) const {
    const Target target = map(root, key);
    return machine_.registry().queryValue(target.root, target.path, utf8(name), value);
}

long RegistryServices::readString(RegistryRoot root, std::string_view key, std::string_view name,
                                  std::string* text, std::uint32_t* type) const {
    RegistryValue value;
    if (const long error = readValue(root, key, name, &value)) return error;
    if (value.type != platform::kRegSz && value.type != platform::kRegExpandSz) {
        return platform::kErrorInvalidParameter;
    }
    std::string stored = value.narrowData(codePage_);
    stored.resize(std::min(stored.size(), stored.find('\0')));
    *text = std::move(stored);
    *type = value.type;
    return platform::kErrorSuccess;
}

long RegistryServices::readText(RegistryRoot root, std::string_view key, std::string_view name,
                                std::string* text) const {
    return readText(root, key, name, text, 8192);
}

long RegistryServices::readText(RegistryRoot root, std::string_view key, std::string_view name,
                                std::string* text, std::size_t size) const {
    RegistryValue value;
    if (const long error = readValue(root, key, name, &value)) return error;
    std::string result;
    switch (value.type) {
        case platform::kRegSz:
        case platform::kRegExpandSz: {
            // The root's own references name its folders, which are UTF-8 like the value.
            std::string stored = value.textValue();
            stored.resize(std::min(stored.size(), stored.find('\0')));
            if (value.type == platform::kRegExpandSz) {
                stored = machine_.expandRootEnvironment(stored);
            }
            result = codePage_.fromUtf8(stored);
            if (value.type == platform::kRegExpandSz) {
                result = expandEnvironmentStrings(result, environment_);
            }
            break;
        }
        case platform::kRegDword:
            result = std::to_string(value.dwordValue());
            break;
        case platform::kRegMultiSz: {
            std::string narrow = value.narrowData(codePage_);
            while (!narrow.empty() && narrow.back() == '\0') narrow.pop_back();
            for (char& c : narrow) c = c == '\0' ? '\t' : c;
            result = std::move(narrow);
            break;
        }
        default: {
            char byte[4];
            for (const char c : value.data) {
                std::snprintf(byte, sizeof byte, "%02x,",
                              static_cast<unsigned>(static_cast<unsigned char>(c)));
                result += byte;
            }
            if (!result.empty()) result.pop_back();
        }
    }
    const std::size_t limit = std::max<std::size_t>(size, 1) - 1;
    if (result.size() > limit) result.resize(limit);
    *text = std::move(result);
    return platform::kErrorSuccess;
}

long RegistryServices::createKey(RegistryRoot root, std::string_view key, bool* created) {
    const Target target = map(root, key);
    long error = machine_.registry().createKey(target.root, target.path, false, created);
    if (error == platform::kErrorChildMustBeVolatile) {
        error = machine_.registry().createKey(target.root, target.path, true, created);
    }
    return error;
}

long RegistryServices::setValue(RegistryRoot root, std::string_view key, std::string_view name,
                                std::uint32_t type, std::string_view data) {
    const Target target = map(root, key);
    return machine_.registry().setValue(target.root, target.path, utf8(name),
                                        RegistryValue::fromNarrow(type, data, codePage_));
}

long RegistryServices::writeString(RegistryRoot root, std::string_view key, std::string_view name,
                                   std::string_view text) {
    if (const long error = createKey(root, key)) return error;
    return setValue(root, key, name, platform::kRegSz, std::string(text) + '\0');
}

long RegistryServices::deleteValue(RegistryRoot root, std::string_view key, std::string_view name) {
    const Target target = map(root, key);
    return machine_.registry().deleteValue(target.root, target.path, utf8(name));
}

long RegistryServices::deleteKey(RegistryRoot root, std::string_view key) {
    const Target target = map(root, key);
    return machine_.registry().deleteKey(target.root, target.path);
}

long RegistryServices::deleteTree(RegistryRoot root, std::string_view key) {
    const Target target = map(root, key);
    return machine_.registry().deleteTree(target.root, target.path);
}

long RegistryServices::removeEmptyKeys(RegistryRoot root, std::string_view key) {
    const Target target = map(root, key);
    std::vector<std::string> parts = platform::registryKeyComponents(target.path);
    // How many leading components belong to the hive's own first level.
    std::size_t kept = 0;
    if (target.root == RegistryRoot::LocalMachine || target.root == RegistryRoot::CurrentUser)
        kept = 1;
    if (target.root == RegistryRoot::Users) kept = 2;
    while (parts.size() > kept) {
        std::string path;
        for (const std::string& part : parts) path += (path.empty() ? "" : "\\") + part;
        platform::RegistryKeyInfo info;
        if (machine_.registry().queryKeyInfo(target.root, path, &info) != 0)
            return platform::kErrorSuccess;
        if (info.subkeys > 0 || info.values > 0) break;
        if (const long error = machine_.registry().deleteKey(target.root, path)) return error;
        parts.pop_back();
    }
    return platform::kErrorSuccess;
}

long RegistryServices::subkeyNames(RegistryRoot root, std::string_view key,
                                   std::vector<std::string>* names) const {
    const Target target = map(root, key);
    const long error = machine_.registry().subkeyNames(target.root, target.path, names);
    for (std::string& name : *names) name = codePage_.fromUtf8(name);
    return error;
}

long RegistryServices::valueNames(RegistryRoot root, std::string_view key,
                                  std::vector<std::string>* names) const {
    const Target target = map(root, key);
    const long error = machine_.registry().valueNames(target.root, target.path, names);
    for (std::string& name : *names) name = codePage_.fromUtf8(name);
    return error;
}

bool RegistryServices::keyExists(RegistryRoot root, std::string_view key) const {
    const Target target = map(root, key);
    return machine_.registry().openKey(target.root, target.path) == 0;
}

bool RegistryServices::hasSubkeys(RegistryRoot root, std::string_view key) const {
    const Target target = map(root, key);
    platform::RegistryKeyInfo info;
    return machine_.registry().queryKeyInfo(target.root, target.path, &info) == 0 &&
           info.subkeys > 0;
}

bool RegistryServices::isEmptyKey(RegistryRoot root, std::string_view key) const {
    const Target target = map(root, key);
    platform::RegistryKeyInfo info;
    return machine_.registry().queryKeyInfo(target.root, target.path, &info) == 0 &&
           info.subkeys == 0 && info.values == 0;
}

platform::Expected<void, platform::RegistryError> RegistryServices::save() {
    return machine_.registry().save();
}

}  // namespace kestrel::setup
