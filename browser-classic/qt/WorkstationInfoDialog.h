// "Kestrelscope: WS Information": what the directory holds about one workstation.
#pragma once

#include <QDialog>

#include "ClassicUi.h"

namespace kestrel::classic {

class WorkstationInfoDialog : public QDialog {
    Q_OBJECT

  public:
    WorkstationInfoDialog(const WorkstationInfo& info, QWidget* parent = nullptr);
};

}  // namespace kestrel::classic
