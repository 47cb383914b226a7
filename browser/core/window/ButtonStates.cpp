#include "window/ButtonStates.h"

namespace kestrel::browser {

namespace {

// The first buttons are the workstation functions, in the same order, with their captions.
constexpr std::size_t kFunctionButtons = static_cast<std::size_t>(Button::InventoryQuery) + 1;
static_assert(static_cast<std::size_t>(WorkstationFunction::InventoryQuery) + 1 ==
              kFunctionButtons);

constexpr std::array<std::string_view, kButtonCount - kFunctionButtons> kOtherCaptions{
    "Workstation NDS Info",
    "Workstation NDS Inventory",
    "IP Ping",
    "IPX Ping",
    "Wake Up PC (via IP)",
    "Goto Start Context",
    "Change Start Context",
    "Save/Clear Start Context",
    "Create Desktop Shortcut",
    "Search Workstation Object",
    "Help",
    "About",
    "OK",
    "",
    "",
};

}  // namespace

std::string_view buttonCaption(Button button) {
    const auto index = static_cast<std::size_t>(button);
    if (index < kFunctionButtons) return workstationFunctions()[index].button;
    return kOtherCaptions[index - kFunctionButtons];
}

ButtonStates buttonStates(bool connected, Selection selection, const SwitchFlags& switches) {
    ButtonStates states;  // everything disabled
    states[Button::IpxPing].visible = false;
    auto enable = [&](Button button, bool on) { states[button].enabled = on; };

    enable(Button::Help, !switches.noHelp);
    enable(Button::About, true);
    enable(Button::Ok, true);
    enable(Button::NdsTree, !switches.noTree);
    if (!connected) return states;

    const bool ws = selection == Selection::Workstation;
    const bool ct = selection == Selection::Container;
    const bool normal = !switches.restricted();
    enable(Button::PingAgent, ws && normal);
    enable(Button::RemoteControl, ws && (normal || switches.onlyControl));
    enable(Button::RemoteView, ws && (normal || switches.onlyView));
    for (Button button : {Button::FileTransfer, Button::RemoteExecute, Button::Chat,
                          Button::Diagnostics, Button::Inventory})
        enable(button, ws && normal);
    enable(Button::InventoryQuery, ct && normal);
    for (Button button : {Button::WorkstationInfo, Button::WorkstationInventory, Button::IpPing})
        enable(button, ws);
    enable(Button::GotoStartContext, true);
    enable(Button::ChangeStartContext, ct && !switches.noChange);
    enable(Button::SaveStartContext, ct && !switches.noSave);
    enable(Button::CreateShortcut, ws && !switches.noCreate);
    enable(Button::SearchWorkstation, ct && !switches.noSearch);
    enable(Button::InventoryServer, !switches.noInventory);
    return states;
}

}  // namespace kestrel::browser
