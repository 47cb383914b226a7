#pragma once

#include <QPointer>
#include <QWidget>

#include "ui/Ui.h"

namespace kestrel::setup {

// The Qt front end: message boxes as MessageDialog over the installer's window, help in
// the desktop's browser.
class QtUi : public Ui {
  public:
    explicit QtUi(QWidget* window = nullptr) : window_(window) {}

    int messageBox(const MessageBoxRequest& box, const std::function<void()>& help) override;
    void openHelp(const std::filesystem::path& file, const std::string& topic) override;
    void setTitle(const std::string& title) override;
    void setProgressText(const std::string& first, const std::string& second) override;
    bool cancelRequested() override;

  private:
    QPointer<QWidget> window_;
};

}  // namespace kestrel::setup
