#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// Expanded text that remembers which characters are the value of a place: a variable that
// holds a trailing backslash (a directory) or a built-in one naming a path (App, Windows,
// Programs, SetupInf...). A command line keeps such a value within one word whatever blanks
// or parentheses it holds ("C:\Program Files (x86)\Beacon"), as its author meant it.
struct ExpandedText {
    std::string text;
    std::vector<bool> place;  // one mark per character of text
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
    // The same, with the places marked.
    ExpandedText expandMarked(std::string_view text) const;

    // The value of a name (already without prefix, suffix and tilde): built-in variable,
    // environment, registry or INI reference; nullopt when it resolves to nothing.
    std::optional<std::string> lookup(std::string_view name) const;

  private:
    std::optional<std::string> readReference(std::string_view name) const;
    // Marks the places in `places` when it is given.
    std::string expandInto(std::string_view text, std::vector<bool>* places) const;

    ExpansionSources sources_;
};

}  // namespace kestrel::setup
