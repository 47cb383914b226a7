// The pages of the wizard, each built with its fields, limits and buttons. The caller
// gives what the page starts from; what the person chose comes back in the page and the
// readers below.
#pragma once

#include <array>
#include <string>

#include "script/RunState.h"
#include "wizard/WizardPage.h"

namespace kestrel::setup {

// What every page shares: the window's title, the picture, whether Help has a file, and
// the product the pages speak of (its name and version) where they explain themselves.
struct PageFrame {
    std::string title;
    std::string picture;
    bool helpAvailable = false;
    std::string product = {};
};

// A page of the kind with the frame's title, picture and Help.
WizardPage framedPage(const PageFrame& frame, PageKind kind);

inline constexpr std::size_t kDirectoryLimit = 255;
inline constexpr std::size_t kUserLimit = 50;

// ADMIN: choice 0 "File server" (administrator installation), 1 "Workstation".
WizardPage adminPage(const PageFrame& frame);
// FROMCD: choice 0 "Local installation", 1 "Start from CD"; preset from the current flag.
WizardPage fromCdPage(const PageFrame& frame, bool fromCD);
// SHARED: choice 0 "Local installation", 1 "Start from server".
WizardPage sharedPage(const PageFrame& frame, bool client);
// MODE: choices in SetupMode order with the sizes the caller worked out, below a line
// saying what they mean.
WizardPage modePage(const PageFrame& frame, SetupMode mode,
                    const std::array<std::string, 3>& sizes);
SetupMode chosenMode(const WizardPage& page);

// INSTSAME: what to do with the installation that is there, the product named above.
enum class InstSameChoice { AddRemove, Repeat, New, Uninstall };
WizardPage instSamePage(const PageFrame& frame, bool showUninstall);
InstSameChoice chosenInstSame(const WizardPage& page);

WizardPage licencePage(const PageFrame& frame, const std::string& text);
WizardPage infoPage(const PageFrame& frame, const std::string& text);
// GETDIR: `text` is string 5036 or 5037 (for the data directory, kind GetDataDir).
WizardPage directoryPage(const PageFrame& frame, PageKind kind, const std::string& text,
                         const std::string& directory);
// The directory the page ended with, a bare drive completed to its root.
std::string chosenDirectory(const WizardPage& page);

struct UserPageSetup {
    std::string user, company;
    bool useCompany = true;
    bool userReadOnly = false, companyReadOnly = false;  // the extension said no
};
// GETUSER: below a line asking for them.
WizardPage userPage(const PageFrame& frame, const UserPageSetup& setup);

// OPTIONS: the components (which the page changes as the person works); Finish is Next.
WizardPage optionsPage(const PageFrame& frame, ComponentPage& components);

// DISK: `prompt` is the text asking for the disk, `label` the disk's label.
WizardPage diskPage(const PageFrame& frame, const std::string& prompt, const std::string& label,
                    const std::string& directory);

}  // namespace kestrel::setup
