#pragma once

#include <QPointer>
#include <QWidget>

#include "ui/Ui.h"

namespace kestrel::setup {

class ProgressDialog;

// The Qt front end: message boxes as MessageDialog and wizard pages as WizardDialog over
// the installer's window, the folder chooser on host folders, the modeless progress
// window, help in the desktop's browser.
class QtUi : public Ui {
  public:
    explicit QtUi(QWidget* window = nullptr) : window_(window) {}
    ~QtUi() override;

    int messageBox(const MessageBoxRequest& box, const std::function<void()>& help) override;
    void openHelp(const std::filesystem::path& file, const std::string& topic) override;
    void setTitle(const std::string& title) override;
    void setProgressText(const std::string& first, const std::string& second) override;
    bool cancelRequested() override;
    PageResult showPage(WizardPage& page, const PageActions& actions) override;
    std::optional<std::filesystem::path> chooseFolder(const std::filesystem::path& start) override;
    void showProgress(const ProgressView& view) override;
    void setClipboardText(const std::string& text) override;

    ProgressDialog* progressDialog() const;

  private:
    QPointer<QWidget> window_;
    QPointer<ProgressDialog> progress_;
};

}  // namespace kestrel::setup
