// "Kestrelscope: Workstation Inventory Dialog": the scanner's inventory of one workstation
// in five frames (machine, system, hardware, network, scan).
#pragma once

#include <QDialog>

#include "workstation/WorkstationDetails.h"

namespace kestrel::browser::qt {

class WorkstationInventoryDialog : public QDialog {
  public:
    WorkstationInventoryDialog(const WorkstationInventory& inventory, QWidget* parent = nullptr);
};

}  // namespace kestrel::browser::qt
