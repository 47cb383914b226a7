// What the browser does with the object selected in its tree, a workstation or, for the
// inventory query, a container: it starts the remote-management programs, saves desktop
// shortcuts, shows the two detail dialogs and pings the workstation. The main window's
// controller hands the selection over once a button may act on it.
#pragma once

#include <functional>
#include <string>

#include "Ui.h"
#include "workstation/IpPing.h"
#include "workstation/WorkstationCommandLine.h"

namespace kestrel::browser {

class CNDSAccess;

// The selected object as the actions name it.
struct SelectedObject {
    std::string typedName;     // CN=WS17.OU=Sales.O=Acme, for directory reads
    std::string typelessName;  // WS17.Sales.Acme, for command lines and shortcut names
    std::string tree;          // the tree the window shows
};

class WorkstationActions {
  public:
    explicit WorkstationActions(Ui& ui) : ui_(ui) {}

    // How IP Ping reaches the network; an ICMP echo socket unless replaced.
    void setEchoProbeFactory(EchoProbeFactory factory) { echoProbes_ = std::move(factory); }

    // Starts the function's program and leaves it alone. A function that needs the inventory
    // server gets it from `inventoryServer`, which may ask the person; without one it is
    // refused.
    void startFunction(WorkstationFunction function, const SelectedObject& object,
                       const std::function<std::string()>& inventoryServer);
    // The shortcut dialog, then the link on the desktop.
    void createShortcut(const SelectedObject& object);
    // These read through `access`, which is bound to the tree shown.
    void showInfo(CNDSAccess& access, const SelectedObject& object);
    void showInventory(CNDSAccess& access, const SelectedObject& object);
    void ipPing(CNDSAccess& access, const SelectedObject& object);

  private:
    Ui& ui_;
    EchoProbeFactory echoProbes_ = platform::makeIcmpEchoProbe;
};

}  // namespace kestrel::browser
