#pragma once

#include <ostream>

#include "ui/Ui.h"

namespace kestrel::setup {

// For runs without a display: every box is printed with its buttons and answered with its
// default button, as a person pressing Enter would.
class ConsoleUi : public Ui {
  public:
    explicit ConsoleUi(std::ostream& out) : out_(out) {}

    int messageBox(const MessageBoxRequest& box, const std::function<void()>& help) override;
    void openHelp(const std::filesystem::path& file, const std::string& topic) override;
    void setTitle(const std::string& title) override;
    void setProgressText(const std::string&, const std::string&) override {}
    bool cancelRequested() override { return false; }

  private:
    std::ostream& out_;
};

}  // namespace kestrel::setup
