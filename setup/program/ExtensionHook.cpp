#include "program/ExtensionHook.h"

#include <dlfcn.h>

#include <array>
#include <cstring>

#include "components/ComponentRecord.h"
#include "messages/MessageStrings.h"
#include "platform/FileChecks.h"
#include "platform/SharedLibrary.h"
#include "program/HookArena.h"
#include "program/HookCallbacks.h"
#include "program/SetupSession.h"
#include "script/ScriptLocation.h"

namespace kestrel::setup {

namespace {

// The Windows error numbers 5520 gives: no such module, or a file that is none.
constexpr unsigned kErrorModuleNotFound = 126;
constexpr unsigned kErrorBadFormat = 193;
constexpr unsigned kErrorNotEnoughMemory = 8;

// Texts a module hands to the callbacks are read no further than an expansion buffer.
constexpr std::size_t kMaxModuleText = kHookExpandBufferSize;

using HookFunction = std::int32_t(void* record);

int expandCallback(char* buffer, void* context) {
    const auto& session = *static_cast<SetupSession*>(context);
    return expandHookBuffer(buffer, session.expander()) ? 1 : 0;
}

int setVariableCallback(const char* name, const char* value, void* context) {
    if (name == nullptr) return 0;
    auto& session = *static_cast<SetupSession*>(context);
    const std::string_view valueText =
        value != nullptr ? std::string_view(value, ::strnlen(value, kMaxModuleText))
                         : std::string_view();
    return setHookVariable(std::string_view(name, ::strnlen(name, kMaxModuleText)), valueText,
                           session.variables(), session.environment())
               ? 1
               : 0;
}

std::uint32_t runFlags(const RunState& run) {
    std::uint32_t flags = 0;
    const std::array<std::pair<bool, std::uint32_t>, 9> bits{{{run.admin, 1},
                                                              {run.uninstall, 2},
                                                              {run.maintenance, 4},
                                                              {run.repeat, 8},
                                                              {run.silent, 16},
                                                              {run.client, 32},
                                                              {run.fromCD, 64},
                                                              {run.workstation, 128},
                                                              {run.perUserPart, 256}}};
    for (const auto& [set, bit] : bits) {
        if (set) flags |= bit;
    }
    return flags;
}

}  // namespace

struct ExtensionHook::Module {
    platform::SharedLibrary library;
    HookFunction* function = nullptr;
    std::unique_ptr<HookArena> arena;
};

ExtensionHook::ExtensionHook(SetupSession& session) : session_(session) {}
ExtensionHook::~ExtensionHook() = default;

bool ExtensionHook::load() {
    const ApplicationSettings& settings = session_.settings();
    if (settings.setupExtDll.empty() || module_) return true;
    const std::string name = session_.expander().expand(settings.setupExtDll);
    MessageEngine& messages = session_.messages();

    // A name with a directory is a path of the root; a bare one lies beside the script, or
    // else is the dynamic linker's to find.
    std::string file = name;
    const bool bare = name.find_first_of(":\\/") == std::string::npos;
    const std::string base = windowsDirectoryOf(session_.variables().value("SetupInf"));
    if (auto host = session_.machine().hostPath(name, base);
        host && (!bare || platform::isRegularFile(*host)))
        file = host->string();
    auto library = platform::SharedLibrary::open(file, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const unsigned error =
            platform::isRegularFile(file) ? kErrorBadFormat : kErrorModuleNotFound;
        return messages.show(messages::kCannotLoadDll, {name, error}) == buttons::kIgnore;
    }
    auto function = library->symbol(settings.setupHookFunc.c_str());
    if (!function) {
        messages.show(messages::kFunctionNotFound, {settings.setupHookFunc, name});
        return false;
    }
    const std::array<HookArena::Callback, 2> callbacks{
        {{reinterpret_cast<const void*>(&expandCallback), &session_, 1},
         {reinterpret_cast<const void*>(&setVariableCallback), &session_, 2}}};
    auto arena = HookArena::map(callbacks);
    if (!arena) {
        return messages.show(messages::kCannotLoadDll, {name, kErrorNotEnoughMemory}) ==
               buttons::kIgnore;
    }
    module_ = std::make_unique<Module>();
    module_->library = std::move(*library);
    module_->function = reinterpret_cast<HookFunction*>(*function);
    module_->arena = std::move(*arena);
    return true;
}

bool ExtensionHook::loaded() const {
    return module_ != nullptr;
}

void ExtensionHook::unload() {
    module_.reset();
}

int ExtensionHook::call(int event, std::uint32_t first, std::uint32_t second) {
    HookArena& arena = *module_->arena;
    const std::uint32_t fields[kRecordSize / 4] = {
        kRecordSize,
        static_cast<std::uint32_t>(event),
        runFlags(session_.run()),
        0,  // main window: no handle a module could use here
        arena.putText(session_.variables().value("SetupInf")),
        first,
        second,
        arena.callback(0),
        0,  // third argument: no event has one
        arena.callback(1)};
    std::array<std::uint8_t, kRecordSize> record{};
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        for (int byte = 0; byte < 4; ++byte)
            record[i * 4 + byte] = static_cast<std::uint8_t>(fields[i] >> (8 * byte));
    }
    const std::uint32_t address = arena.put(record);
    // Only arguments of hundreds of kilobytes (a dependency list of tens of thousands of
    // components) leave no room for the record: such a call is not made, and counts as yes.
    if (address == 0) return 1;
    return module_->function(arena.at(address));
}

bool ExtensionHook::event(int event) {
    if (!module_) return true;
    module_->arena->clear();
    return call(event, 0, 0) != 0;
}

ComponentHook ExtensionHook::componentHook(const ComponentList&) {
    return [this](int event, const Component& component) {
        if (!module_) return true;
        HookArena& arena = *module_->arena;
        arena.clear();
        const std::vector<std::uint8_t> dependencies = dependencyListBytes(component);
        const std::uint32_t list = dependencies.empty() ? 0 : arena.put(dependencies);
        return call(event, arena.put(componentRecord(component, list)), 0) != 0;
    };
}

int ExtensionHook::notify(int notification, const std::string& source,
                          const std::string& destination) {
    if (!module_) return 1;
    HookArena& arena = *module_->arena;
    arena.clear();
    const std::uint32_t from = arena.putText(source);
    return call(notification, from, arena.putText(destination));
}

}  // namespace kestrel::setup
