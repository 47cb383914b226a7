// The installer's main window behind the wizard, as the core sees it. Console runs have none.
#pragma once

#include <optional>

#include "script/Layout.h"

namespace kestrel::setup {

class BackgroundWindow {
  public:
    virtual ~BackgroundWindow() = default;
    // The picture of the ShowPicture command, its file names expanded; nullopt removes it.
    // The window loads the picture (a file it cannot read is left out) and repaints.
    virtual void showCommandPicture(std::optional<PictureSetting> picture) = 0;
    // The person's name, company or the application directory changed: the texts that show
    // them are drawn again.
    virtual void variablesChanged() = 0;
};

}  // namespace kestrel::setup
