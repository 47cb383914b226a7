// The core's Ui rendered with Qt: message boxes captioned "Kestrelscope", the dialogs, the
// wait cursor and the ending of the program.
#pragma once

#include <QPointer>
#include <QWidget>

#include "ClassicUi.h"

namespace kestrel::classic {

class QtUi : public Ui {
  public:
    // Dialogs and message boxes belong to this window once it exists.
    void setWindow(QWidget* window) { window_ = window; }
    // The code the program ends with: 0 unless a function ended it.
    int exitCode() const { return exitCode_; }

    void showMessage(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    void beep() override;
    void beginWaitCursor() override;
    void endWaitCursor() override;
    std::optional<std::string> askNewContext(const std::string& context) override;
    bool confirmSaveContext(const std::string& context) override;
    void showWorkstationInfo(const WorkstationInfo& info) override;
    void endProgram(int exitCode) override;

  private:
    QPointer<QWidget> window_;
    int exitCode_ = 0;
};

}  // namespace kestrel::classic
