// The progress window (COPYFILE) of the installation's work: the operations set its texts
// and the meter; Cancel in it is confirmed with message 5509 and then sets the run's abort
// flag, which the running operation checks through poll().
#pragma once

#include <string>

#include "messages/MessageEngine.h"
#include "script/RunState.h"
#include "wizard/ProgressView.h"

namespace kestrel::setup {

class ProgressWindow {
  public:
    ProgressWindow(MessageEngine& messages, RunState& run) : messages_(messages), run_(run) {}

    // `visible` false keeps it hidden (the quietest silent runs); without `cancel` it has
    // no Cancel button (DisableCancelButton).
    void open(const std::string& title, bool visible, bool cancel,
              ProgressPlacement placement = {});
    void close();

    void copying(const std::string& source, const std::string& destination);
    void deleting(const std::string& file);
    // A script command while it runs: its line in the first field, the second cleared.
    void command(const std::string& line);
    // The runtime version check: the installed file against the one programs would load.
    void checkingRuntime(const std::string& installed, const std::string& found);
    // Done so far of the whole; cut to 0-100.
    void setPercent(int percent);
    void setProgress(unsigned long long done, unsigned long long total);

    // Lets the window handle what is pending. A Cancel the person confirms sets the abort
    // flag; returns that flag.
    bool poll();

    const ProgressView& view() const { return view_; }

  private:
    void firstOnly(const std::string& label, const std::string& text);
    void update();

    MessageEngine& messages_;
    RunState& run_;
    ProgressView view_;
};

}  // namespace kestrel::setup
