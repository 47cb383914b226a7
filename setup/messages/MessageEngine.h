#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "messages/StringTable.h"
#include "ui/Ui.h"

namespace kestrel::setup {

// Every question, warning and error of the installer: the message string is loaded by
// number, its arguments filled in, and the box shown through the Ui; the pressed button's
// number comes back. Help buttons open the help file at the message's topic.
class MessageEngine {
  public:
    static constexpr const char* kHelpFileName = "Setup.html";

    MessageEngine(Ui& ui, const StringTable& strings);

    // The help file; empty (the default) when there is none, which hides Help buttons.
    void setHelpFile(std::filesystem::path file) { helpFile_ = std::move(file); }
    const std::filesystem::path& helpFile() const { return helpFile_; }
    // While set, boxes are system-modal and show no Help button.
    void setSystemModal(bool on) { systemModal_ = on; }
    bool systemModal() const { return systemModal_; }

    // Returns the pressed button; 1 without a box when the message has no string. When the
    // front end finds nobody to answer, the box counts as refused (Cancel, else No, else its
    // default button) and unanswered() says so from then on.
    int show(int number, const std::vector<MessageArg>& args = {});
    // The same with the reason the system gave, on a line of its own below the message's
    // text, which stays as it is written.
    int show(int number, const std::vector<MessageArg>& args, std::string_view reason);
    // A question found nobody to answer it: the run cannot go on and ends as failed.
    bool unanswered() const { return unanswered_; }
    // A plain box with the information icon, an OK button and the caption given, else the
    // installer's.
    void note(std::string_view format, const std::vector<MessageArg>& args = {},
              std::string_view caption = {});
    // A help request of the installer's window: context 0 or -1 opens the contents, a
    // keyword its topic, else the topic of the context; without a help file message 5549.
    void help(int context, std::string_view keyword = {});

    // The text of the last message shown (what a failed line said), empty before the first.
    const std::string& lastText() const { return lastText_; }
    const std::string& caption() const { return caption_; }
    const StringTable& strings() const { return strings_; }
    Ui& ui() { return ui_; }

  private:
    Ui& ui_;
    const StringTable& strings_;
    std::string caption_;
    std::filesystem::path helpFile_;
    bool systemModal_ = false;
    bool unanswered_ = false;
    std::string lastText_;
};

}  // namespace kestrel::setup
