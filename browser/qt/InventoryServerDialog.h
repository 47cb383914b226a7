// "Kestrelscope: Inventory Server Dialog": the address of the inventory database server,
// used for this run ("Use Now") or also saved ("Use / Save").
#pragma once

#include <QDialog>

#include "Ui.h"
#include "window/DialogStates.h"

namespace kestrel::browser::qt {

class InventoryServerDialog : public QDialog {
  public:
    InventoryServerDialog(InventoryServerDialogState& state, QWidget* parent = nullptr);
    InventoryServerAnswer answer() const { return answer_; }

  private:
    void close(InventoryServerAnswer answer);

    InventoryServerDialogState& state_;
    InventoryServerAnswer answer_ = InventoryServerAnswer::Cancel;
};

}  // namespace kestrel::browser::qt
