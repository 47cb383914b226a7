// "Kestrelscope: Workstation Information Dialog": the registration data of one workstation.
#pragma once

#include <QDialog>

#include "workstation/WorkstationDetails.h"

namespace kestrel::browser::qt {

class WorkstationInfoDialog : public QDialog {
  public:
    WorkstationInfoDialog(const WorkstationInfo& info, QWidget* parent = nullptr);
};

}  // namespace kestrel::browser::qt
