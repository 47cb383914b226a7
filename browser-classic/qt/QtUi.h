// The core's Ui rendered with Qt: message boxes captioned "Kestrelscope", the dialogs and
// the wait cursor.
#pragma once

#include <QPointer>
#include <QWidget>

#include "ClassicUi.h"

namespace kestrel::classic {

class QtUi : public Ui {
  public:
    // Dialogs and message boxes belong to this window once it exists.
    void setWindow(QWidget* window) { window_ = window; }

    void showMessage(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    void beep() override;
    void beginWaitCursor() override;
    void endWaitCursor() override;
    std::optional<std::string> askNewContext(const std::string& context) override;
    bool confirmSaveContext(const std::string& context) override;
    void showWorkstationInfo(const WorkstationInfo& info) override;

  private:
    QPointer<QWidget> window_;
};

}  // namespace kestrel::classic
