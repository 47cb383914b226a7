#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
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

class HiveStore;
class RegistryStore;
class ServerStore;

// The names of a key path; empty components (doubled or leading backslashes) are dropped.
std::vector<std::string> registryKeyComponents(std::string_view path);

// The registry of a machine root, a Wine prefix. Where it is kept follows one rule: while a
// wineserver runs for the prefix, the server holds the registry in memory (and writes it over
// the hive files when it ends), so the calls go through the server (useWineServer, which
// MachineRoot makes where Wine runs the prefix once a server runs); only while none runs are
// the hive files the registry: system.reg (HKEY_LOCAL_MACHINE), user.reg (the user
// S-1-5-21-0-0-0-1000) and userdef.reg (.Default), read into memory, changed there and
// written by save(). The object
// stays the same whichever it is, so whoever holds it keeps it. Calls take a root and a key
// path ("Software\Acme", empty components ignored), follow the symbolic-link keys
// (System\CurrentControlSet) and return Windows error codes (platform/WindowsErrors.h),
// which scripts act on, so none may go unchecked. Not thread-safe: one registry object per
// thread.
class Registry {
  public:
    static constexpr std::string_view kDefaultUserSid = "S-1-5-21-0-0-0-1000";

    // Reads the hive files of the prefix; a missing file is an empty hive that save()
    // creates. A file that cannot be read or parsed is an error: it is never overwritten.
    // `serverDirectory` is where wineservers keep their socket folders (see WineServer.h).
    static Expected<std::unique_ptr<Registry>, ParseError> open(
        const std::filesystem::path& prefix, std::filesystem::path serverDirectory = {});
    // The registry of a prefix that Wine keeps, through its server from the start (see
    // useWineServer): the hive files are not read, the server reads them.
    static Expected<std::unique_ptr<Registry>, std::string> openThroughServer(
        const std::filesystem::path& prefix, std::filesystem::path serverDirectory,
        const std::filesystem::path& helperProgram);
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
    // A setting of the system that a run asks for again and again and that nobody changes
    // behind its back (the Windows version, the code page): read once, then answered from
    // memory until this object writes the key (or removes a key above it, or makes a link),
    // reads the hive files again, or is told that a Windows program may have changed it.
    // Through a server each read is a round trip to Wine, and a run asks several times a file.
    [[nodiscard]] long querySetting(RegistryRoot root, std::string_view path, std::string_view name,
                                    RegistryValue* value) const;
    // Before and after each Windows program a run starts: what is remembered of what others
    // may change (the settings; through a server, which keys exist) is looked up again.
    void forgetRemembered();
    [[nodiscard]] long deleteValue(RegistryRoot root, std::string_view path, std::string_view name);
    // Deletes a key without subkeys (kErrorAccessDenied when it has some). A link key is
    // deleted itself, never its target.
    [[nodiscard]] long deleteKey(RegistryRoot root, std::string_view path);
    // Deletes the key with everything below it.
    [[nodiscard]] long deleteTree(RegistryRoot root, std::string_view path);
    [[nodiscard]] long subkeyNames(RegistryRoot root, std::string_view path,
                                   std::vector<std::string>* names) const;
    // Value names in the registry's order; the default value, when set, is the empty name.
    [[nodiscard]] long valueNames(RegistryRoot root, std::string_view path,
                                  std::vector<std::string>* names) const;
    // Through a server a volatile key is reported as an ordinary one: Wine does not say.
    [[nodiscard]] long queryKeyInfo(RegistryRoot root, std::string_view path,
                                    RegistryKeyInfo* info) const;

    // Hive files: writes every changed hive atomically, one save at a time (under a lock on
    // the prefix folder). When another process changed a file since we read it, our changes
    // are applied to its new content, so that neither loses anything. Refused (kErrorBusy)
    // while a wineserver runs for the prefix, which would overwrite the files from its own
    // memory; kErrorRegistryIoFailed when a file cannot be locked, read, merged or written.
    // Through a server there is nothing to save, every call took effect in it, but the
    // values set without waiting for the server's answer (ServerStore.h) are waited for: the
    // first that it refused is the error.
    Expected<void, RegistryError> save();
    // Hive files: reads again what another process wrote to them (a wineserver that has
    // ended); the changes not saved yet stay on top, to be saved. Through a server: nothing.
    Expected<void, ParseError> reload();

    // From now on the calls go through the prefix's wineserver, by way of `helperProgram`
    // (kestrel-registry.exe) started under Wine, which starts the server when none runs; the
    // changes not saved to the hive files yet are made there first. While it runs, Windows
    // programs of the prefix see every change at once, and we see theirs. On failure the
    // hive files stay the registry, and the reason is given.
    Expected<void, std::string> useWineServer(const std::filesystem::path& helperProgram);
    bool throughWineServer() const { return server_ != nullptr; }
    // Where Wine runs the prefix but no server runs yet: the hive files stay the registry,
    // the cheapest way by far, until a server runs. One that another program started is
    // looked for before each change (at most every 50 ms) and before each save, and once
    // found, the calls go through it (useWineServer with `helperProgram`). goThroughServer()
    // starts the server itself, before a Windows program of ours starts. A helper that fails
    // is not tried again: the files stay the registry, and their save is refused while a
    // server runs.
    void useWineServerOnceItRuns(std::filesystem::path helperProgram);
    Expected<void, std::string> goThroughServer();

  private:
    struct Target;
    struct Setting;
    Registry(std::filesystem::path prefix, std::filesystem::path serverDirectory);

    // The store's root and path for a root and path of ours, or the error for a root or
    // user the registry does not keep, or a name too long.
    Expected<Target, long> target(RegistryRoot root, std::string_view path) const;
    RegistryStore& store() const;
    long removeKey(RegistryRoot root, std::string_view path, bool wholeTree);
    // Drops the settings remembered at the key (`below`: and under it) that a write changes.
    void forgetSettingsAt(const Target& key, bool below);
    // Before a change: goes through a server that started since the last look.
    void joinStartedServer();
    // A session that starts carries out the restart operations the hive files hold: the
    // entries of PendingFileRenameOperations that this run added since they were saved, with
    // the list's closing zero, or nothing when the run did not change the value.
    std::optional<std::u16string> renamesScheduledSinceSaved() const;

    std::filesystem::path prefix_;
    std::filesystem::path serverDirectory_;
    std::unique_ptr<HiveStore> hives_;     // while no server is used
    std::unique_ptr<ServerStore> server_;  // once one is
    std::filesystem::path laterHelper_;    // see useWineServerOnceItRuns
    std::chrono::steady_clock::time_point nextLook_{};
    std::string currentUser_ = std::string(kDefaultUserSid);
    mutable std::vector<Setting> settings_;  // a handful: looked through in turn
};

// The root's ANSI code page, in which programs that speak bytes write registry text: the
// one HKLM\System\CurrentControlSet\Control\Nls\CodePage names in "ACP", Windows-1252
// when it names none (or one we have no table for).
const CodePage& ansiCodePage(const Registry& registry);

}  // namespace kestrel::platform
