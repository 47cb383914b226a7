#include <gtest/gtest.h>

#include <set>

#include "ParamNames.h"
#include "window/ButtonStates.h"

namespace kestrel::browser {
namespace {

using B = Button;
using Buttons = std::set<Button>;

// Buttons every connected state enables unless a switch says otherwise.
const Buttons kAlways{B::GotoStartContext, B::Help,           B::About, B::Ok,
                      B::NdsTree,          B::InventoryServer};
const Buttons kWorkstationNormal{
    B::PingAgent, B::RemoteControl, B::RemoteView, B::FileTransfer,    B::RemoteExecute,
    B::Chat,      B::Diagnostics,   B::Inventory,  B::WorkstationInfo, B::WorkstationInventory,
    B::IpPing,    B::CreateShortcut};
const Buttons kWorkstationRestricted{B::WorkstationInfo, B::WorkstationInventory, B::IpPing,
                                     B::CreateShortcut};
const Buttons kContainerRestricted{B::ChangeStartContext, B::SaveStartContext,
                                   B::SearchWorkstation};

Buttons operator+(Buttons a, const Buttons& b) {
    a.insert(b.begin(), b.end());
    return a;
}
Buttons operator-(Buttons a, const Buttons& b) {
    for (Button button : b) a.erase(button);
    return a;
}

std::string describe(const Buttons& buttons) {
    std::string text;
    for (Button button : buttons) {
        auto caption = buttonCaption(button);
        text += caption.empty() ? (button == B::NdsTree ? "[NDS tree]" : "[inventory server]")
                                : std::string(caption);
        text += "; ";
    }
    return text;
}

struct Row {
    const char* what;
    bool connected;
    Selection selection;
    SwitchFlags switches;
    Buttons enabled;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.what;
}

SwitchFlags with(bool SwitchFlags::*flag, bool SwitchFlags::*second = nullptr) {
    SwitchFlags flags;
    flags.*flag = true;
    if (second != nullptr) flags.*second = true;
    return flags;
}

const Selection ws = Selection::Workstation;
const Selection ct = Selection::Container;

const Row kTable[] = {
    {"NormalWorkstation", true, ws, {}, kAlways + kWorkstationNormal},
    {"NormalContainer", true, ct, {}, kAlways + kContainerRestricted + Buttons{B::InventoryQuery}},
    {"OnlyRemoteWorkstation", true, ws, with(&SwitchFlags::onlyView, &SwitchFlags::onlyControl),
     kAlways + kWorkstationRestricted + Buttons{B::RemoteControl, B::RemoteView}},
    {"OnlyViewWorkstation", true, ws, with(&SwitchFlags::onlyView),
     kAlways + kWorkstationRestricted + Buttons{B::RemoteView}},
    {"OnlyControlWorkstation", true, ws, with(&SwitchFlags::onlyControl),
     kAlways + kWorkstationRestricted + Buttons{B::RemoteControl}},
    {"RestrictedContainer", true, ct, with(&SwitchFlags::onlyView), kAlways + kContainerRestricted},
    {"NoChange", true, ct, with(&SwitchFlags::noChange),
     kAlways + kContainerRestricted + Buttons{B::InventoryQuery} - Buttons{B::ChangeStartContext}},
    {"NoSave", true, ct, with(&SwitchFlags::noSave),
     kAlways + kContainerRestricted + Buttons{B::InventoryQuery} - Buttons{B::SaveStartContext}},
    {"NoSearch", true, ct, with(&SwitchFlags::noSearch),
     kAlways + kContainerRestricted + Buttons{B::InventoryQuery} - Buttons{B::SearchWorkstation}},
    {"NoCreate", true, ws, with(&SwitchFlags::noCreate),
     kAlways + kWorkstationNormal - Buttons{B::CreateShortcut}},
    {"NoTree", true, ws, with(&SwitchFlags::noTree),
     kAlways + kWorkstationNormal - Buttons{B::NdsTree}},
    {"NoHelp", true, ct, with(&SwitchFlags::noHelp),
     kAlways + kContainerRestricted + Buttons{B::InventoryQuery} - Buttons{B::Help}},
    {"NoInventory", true, ws, with(&SwitchFlags::noInventory),
     kAlways + kWorkstationNormal - Buttons{B::InventoryServer}},
    {"NotConnected", false, ct, {}, Buttons{B::Help, B::About, B::Ok, B::NdsTree}},
    {"NotConnectedWorkstation", false, ws, {}, Buttons{B::Help, B::About, B::Ok, B::NdsTree}},
    {"NotConnectedNoHelpNoTree", false, ct, with(&SwitchFlags::noHelp, &SwitchFlags::noTree),
     Buttons{B::About, B::Ok}},
    {"NotConnectedNoCreateNoInventory", false, ws,
     with(&SwitchFlags::noCreate, &SwitchFlags::noInventory),
     Buttons{B::Help, B::About, B::Ok, B::NdsTree}},
};

class ButtonRule : public ::testing::TestWithParam<Row> {};

TEST_P(ButtonRule, EnablesExactlyTheButtonsOfItsRow) {
    const Row& row = GetParam();
    ButtonStates states = buttonStates(row.connected, row.selection, row.switches);
    Buttons enabled;
    for (std::size_t i = 0; i < kButtonCount; ++i) {
        auto button = static_cast<Button>(i);
        if (states[button].enabled) enabled.insert(button);
        // IPX Ping is there but never shown; everything else is shown.
        EXPECT_EQ(states[button].visible, button != B::IpxPing) << buttonCaption(button);
    }
    EXPECT_EQ(describe(enabled), describe(row.enabled));
}

INSTANTIATE_TEST_SUITE_P(Table, ButtonRule, ::testing::ValuesIn(kTable),
                         kestrel::test::NameFromWhat());

}  // namespace
}  // namespace kestrel::browser
