#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CodePage.h"
#include "platform/Expected.h"
#include "platform/RegistryError.h"
#include "platform/RegistryValue.h"

namespace kestrel::platform {

enum class RegistryRoot {
    ClassesRoot,      // the machine's Software\Classes
    CurrentUser,      // HKEY_USERS\<current user's security identifier>
    LocalMachine,     // system.reg
    Users,            // .Default (userdef.reg) and the current user (user.reg)
    PerformanceData,  // not kept by this registry: every call fails with kErrorInvalidHandle
    CurrentConfig,    // System\CurrentControlSet\Hardware Profiles\Current of the machine
    DynData,          // not kept by this registry: every call fails with kErrorInvalidHandle
};

struct RegistryKeyInfo {
    std::size_t subkeys = 0;
    std::size_t values = 0;
    bool isVolatile = false;
};

class HiveFile;
class RegistryKey;

// The names of a key path; empty components (doubled or leading backslashes) are dropped.
std::vector<std::string> registryKeyComponents(std::string_view path);

// The registry of a machine root, kept in the hive files of a Wine prefix: system.reg
// (HKEY_LOCAL_MACHINE), user.reg (the user S-1-5-21-0-0-0-1000) and userdef.reg (.Default).
// Calls take a root and a key path ("Software\Acme", empty components ignored), follow the
// symbolic-link keys of the hives (System\CurrentControlSet) and return Windows error codes
// (platform/WindowsErrors.h), which scripts act on, so none may go unchecked. Changes stay in
// memory until save(); volatile keys are never written. Not thread-safe: one registry
// object per thread.
class Registry {
  public:
    static constexpr std::string_view kDefaultUserSid = "S-1-5-21-0-0-0-1000";

    // Reads the hive files of the prefix; a missing file is an empty hive that save()
    // creates. A file that cannot be read or parsed is an error: it is never overwritten.
    // `serverDirectory` is where wineservers keep their socket folders (see WineServer.h).
    static Expected<std::unique_ptr<Registry>, ParseError> open(
        const std::filesystem::path& prefix, std::filesystem::path serverDirectory = {});
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // Which user HKEY_CURRENT_USER stands for. Only the default user has a hive here; any
    // other identifier makes HKEY_CURRENT_USER an unknown key.
    void setCurrentUser(std::string sid) { currentUser_ = std::move(sid); }
    const std::string& currentUser() const { return currentUser_; }

    // Creates the key and its missing parents (volatile ones when asked; a non-volatile key
    // below a volatile one is refused with kErrorChildMustBeVolatile). `created` tells
    // whether the key itself was new.
    [[nodiscard]] long createKey(RegistryRoot root, std::string_view path,
                                 bool makeVolatile = false, bool* created = nullptr);
    // Creates a symbolic-link key whose subkeys are those of `target`, a path such as
    // "\\Registry\\Machine\\System\\ControlSet001" (an existing key is made a link).
    [[nodiscard]] long createLink(RegistryRoot root, std::string_view path,
                                  std::string_view target);
    [[nodiscard]] long openKey(RegistryRoot root, std::string_view path) const;
    // The key must exist.
    [[nodiscard]] long setValue(RegistryRoot root, std::string_view path, std::string_view name,
                                const RegistryValue& value);
    [[nodiscard]] long queryValue(RegistryRoot root, std::string_view path, std::string_view name,
                                  RegistryValue* value) const;
    [[nodiscard]] long deleteValue(RegistryRoot root, std::string_view path, std::string_view name);
    // Deletes a key without subkeys (kErrorAccessDenied when it has some). A link key is
    // deleted itself, never its target.
    [[nodiscard]] long deleteKey(RegistryRoot root, std::string_view path);
    // Deletes the key with everything below it.
    [[nodiscard]] long deleteTree(RegistryRoot root, std::string_view path);
    [[nodiscard]] long subkeyNames(RegistryRoot root, std::string_view path,
                                   std::vector<std::string>* names) const;
    // Value names in the hive's order; the default value, when set, is the empty name.
    [[nodiscard]] long valueNames(RegistryRoot root, std::string_view path,
                                  std::vector<std::string>* names) const;
    [[nodiscard]] long queryKeyInfo(RegistryRoot root, std::string_view path,
                                    RegistryKeyInfo* info) const;

    // Writes every changed hive atomically under its lock. When another process changed
    // the file since we read it, our changes are applied to its new content, so that
    // neither loses anything. Refused (kErrorBusy) while a wineserver runs for the prefix,
    // which would overwrite the files from its own memory; kErrorRegistryIoFailed when a
    // file cannot be locked, read, merged or written.
    Expected<void, RegistryError> save();

  private:
    struct Location;
    Registry(std::filesystem::path prefix, std::filesystem::path serverDirectory);

    Expected<Location, long> locate(RegistryRoot root, std::string_view path,
                                    bool followFinalLink = true) const;
    long resolveLinks(Location& location, bool followFinalLink) const;
    HiveFile* hiveOfUser(std::string_view sid) const;
    long removeKey(RegistryRoot root, std::string_view path, bool wholeTree);
    RegistryKey* find(const Location& location) const;

    std::filesystem::path prefix_;
    std::filesystem::path serverDirectory_;
    std::vector<std::unique_ptr<HiveFile>> hives_;  // system, user, userdef
    std::string currentUser_ = std::string(kDefaultUserSid);
};

// The root's ANSI code page, in which programs that speak bytes write registry text: the
// one HKLM\System\CurrentControlSet\Control\Nls\CodePage names in "ACP", Windows-1252
// when it names none (or one we have no table for).
const CodePage& ansiCodePage(const Registry& registry);

}  // namespace kestrel::platform
