#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "components/Component.h"
#include "components/WorkList.h"
#include "copy/CopyServices.h"

namespace kestrel::setup {

class SetupSession;

// The script's extension module (SetupExtDll, SetupHookFunc), a native shared library, and
// the events the installer tells it. Without a module every event is answered yes.
//
// The hook function is `int32_t SetupHookFunc(void* record)`; 0 means "no". The record is
// 40 bytes of 32-bit little-endian fields: size (40), event, run flags, main window (0: no
// handle means anything here), script path, first and second argument, expand callback,
// third argument, set-variable callback. The fields that point hold 32-bit addresses: what
// they point to is mapped below 4 GiB for each call (see HookArena) and valid during that
// call only. The callbacks are `int expand(char* buffer)` (a buffer of
// kHookExpandBufferSize bytes, expanded in place) and `int setVariable(const char* name,
// const char* value)`, both non-zero on success. docs/setup-extensions.md tells module
// writers the rest; examples/extension/ is one.
class ExtensionHook final : public copy::CopyHook {
  public:
    static constexpr int kEventComponentsBuilt = 4;
    static constexpr int kEventEnd = 5;
    static constexpr int kEventUserName = 8;
    static constexpr int kEventCompanyName = 9;

    explicit ExtensionHook(SetupSession& session);
    ~ExtensionHook() override;
    ExtensionHook(const ExtensionHook&) = delete;
    ExtensionHook& operator=(const ExtensionHook&) = delete;

    // Loads the module the script names (nothing named: true). A module that cannot be
    // loaded asks 5520, where only Ignore goes on without it; a missing function gives 5521.
    bool load();
    bool loaded() const;
    // Unloads the module (at the end of the run).
    void unload();

    // Events without arguments (4, 5, 8, 9); false for "no".
    bool event(int event);
    // Events 6 and 7, with the component's record; the adapter for the work list.
    ComponentHook componentHook(const ComponentList& list);
    // Events 2 and 3 of the copy engine.
    int notify(int notification, const std::string& source,
               const std::string& destination) override;

    static constexpr std::uint32_t kRecordSize = 40;

  private:
    struct Module;
    // Fills the record (the arguments are in the arena already) and calls the module.
    int call(int event, std::uint32_t first, std::uint32_t second);
    SetupSession& session_;
    std::unique_ptr<Module> module_;
};

}  // namespace kestrel::setup
