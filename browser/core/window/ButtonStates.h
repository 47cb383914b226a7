// Which buttons of the main window can be used: one rule from the connection, the kind of
// the selected item and the switches to the state of every button.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "CKestrelscopeApp.h"
#include "workstation/WorkstationCommandLine.h"

namespace kestrel::browser {

// Every button of the main window: the workstation functions first, in their order, then
// the others.
enum class Button : std::size_t {
    PingAgent,
    RemoteControl,
    RemoteView,
    FileTransfer,
    RemoteExecute,
    Chat,
    Diagnostics,
    Inventory,
    InventoryQuery,
    WorkstationInfo,
    WorkstationInventory,
    IpPing,
    IpxPing,
    WakeUp,
    GotoStartContext,
    ChangeStartContext,
    SaveStartContext,
    CreateShortcut,
    SearchWorkstation,
    Help,
    About,
    Ok,
    NdsTree,
    InventoryServer,
};

inline constexpr std::size_t kButtonCount = static_cast<std::size_t>(Button::InventoryServer) + 1;

// The button of a workstation function: the first buttons are the functions, in order.
constexpr Button functionButton(WorkstationFunction function) {
    return static_cast<Button>(function);
}

// The caption of a text button; empty for the two picture buttons.
std::string_view buttonCaption(Button button);

struct ButtonState {
    bool enabled = false;
    bool visible = true;
    bool operator==(const ButtonState&) const = default;
};

class ButtonStates {
  public:
    ButtonState& operator[](Button button) { return states_[static_cast<std::size_t>(button)]; }
    const ButtonState& operator[](Button button) const {
        return states_[static_cast<std::size_t>(button)];
    }
    bool operator==(const ButtonStates&) const = default;

  private:
    std::array<ButtonState, kButtonCount> states_{};
};

enum class Selection { Container, Workstation };

// `connected` is false while the tree field shows "No NDS Connection!".
ButtonStates buttonStates(bool connected, Selection selection, const SwitchFlags& switches);

}  // namespace kestrel::browser
