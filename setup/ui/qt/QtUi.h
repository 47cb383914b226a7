#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "ui/Ui.h"

namespace kestrel::setup {

class MainWindow;
class ProgressDialog;

// The Qt front end: message boxes as MessageDialog and wizard pages as WizardDialog over
// the installer's window, the folder chooser on host folders, the modeless progress
// window, help in the desktop's browser. The installer's main window, once the run opens
// it, is the window that everything else is shown over.
class QtUi : public Ui {
  public:
    explicit QtUi(QWidget* window = nullptr);
    ~QtUi() override;

    int messageBox(const MessageBoxRequest& box, const std::function<void()>& help) override;
    void openHelp(const std::filesystem::path& file, const std::string& topic) override;
    void setTitle(const std::string& title) override;
    void setProgressText(const std::string& first, const std::string& second) override;
    bool cancelRequested() override;
    PageResult showPage(WizardPage& page, const PageActions& actions) override;
    std::optional<std::filesystem::path> chooseFolder(const std::filesystem::path& start) override;
    std::optional<std::string> askText(const TextRequest& request) override;
    void showProgress(const ProgressView& view) override;
    void setClipboardText(const std::string& text) override;
    BackgroundWindow* openMainWindow(const MainWindowContent& content) override;
    void showMainWindow() override;
    void closeMainWindow() override;
    void raiseMainWindow() override;
    void waitingForProgram() override;
    // A plain information box over the installer's window.
    void note(const std::string& line) override;
    bool showTextFile(const std::filesystem::path& file) override;

    ProgressDialog* progressDialog() const;
    MainWindow* mainWindow() const;

  private:
    QPointer<QWidget> window_;
    QPointer<ProgressDialog> progress_;
    QPointer<MainWindow> mainWindow_;
    // Gives the windows back their input a moment after the last call of a wait.
    QTimer waitOver_;
};

}  // namespace kestrel::setup
