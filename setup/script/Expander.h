#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/MachineRoot.h"
#include "script/BuiltinVariables.h"
#include "script/Environment.h"
#include "script/RegistryReader.h"

namespace kestrel::setup {

// Where %...% names are looked up, in this order: the built-in variables, the environment,
// then registry and INI references. Any source may be missing.
struct ExpansionSources {
    const BuiltinVariables* variables = nullptr;
    const Environment* environment = nullptr;
    const RegistryReader* registry = nullptr;
    const platform::MachineRoot* machine = nullptr;  // INI files, short (8.3) paths
};

// The installer's %...% expansion.
class Expander {
  public:
    static constexpr std::size_t kLimit = 8191;

    explicit Expander(ExpansionSources sources) : sources_(sources) {}

    // Copies the text with every %NAME% replaced. "%%" gives one percent sign; a percent
    // sign before a comma, a digit or the end stays; without a closing sign the rest stays
    // as it is. A first character that cannot begin a name is a prefix put before a
    // non-empty value, a last one that cannot end a name a suffix ("\" ensures one trailing
    // backslash); "~" asks for the short form; values lose one trailing backslash. Names
    // that resolve to nothing give nothing. The result is cut to 8191 characters.
    std::string expand(std::string_view text) const;

    // The value of a name (already without prefix, suffix and tilde): built-in variable,
    // environment, registry or INI reference; nullopt when it resolves to nothing.
    std::optional<std::string> lookup(std::string_view name) const;

  private:
    std::optional<std::string> readReference(std::string_view name) const;

    ExpansionSources sources_;
};

}  // namespace kestrel::setup
