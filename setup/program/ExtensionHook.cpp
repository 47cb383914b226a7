#include "program/ExtensionHook.h"

#include "program/SetupSession.h"

namespace kestrel::setup {

// Placeholder until modules are loaded here: no module, every event yes.
struct ExtensionHook::Module {};

ExtensionHook::ExtensionHook(SetupSession& session) : session_(session) {}
ExtensionHook::~ExtensionHook() = default;
bool ExtensionHook::load() {
    return true;
}
bool ExtensionHook::loaded() const {
    return module_ != nullptr;
}
void ExtensionHook::unload() {
    module_.reset();
}
bool ExtensionHook::event(int) {
    return true;
}
ComponentHook ExtensionHook::componentHook(const ComponentList&) {
    return {};
}
int ExtensionHook::notify(int, const std::string&, const std::string&) {
    return 1;
}

}  // namespace kestrel::setup
