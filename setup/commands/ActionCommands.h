// The script commands that act on the machine and the person's surroundings: files and
// directories, programs and the program manager, waits, sounds, the background picture, and
// the printing, service and event-source commands.
#pragma once

#include "commands/Command.h"
#include "commands/ProgramStarter.h"
#include "commands/SoundOutput.h"
#include "commands/SystemCommands.h"
#include "copy/DiskPrompt.h"
#include "copy/FileCopier.h"
#include "copy/FileRemoval.h"
#include "ops/LinkServices.h"
#include "ui/BackgroundWindow.h"
#include "wizard/ProgressWindow.h"

namespace kestrel::setup::commands {

// What these commands work through; all of it lives for the run.
struct ActionServices {
    copy::FileCopier& copier;    // Copy: each file with ALWAYS and NOSIZEWARNING
    copy::FileRemoval& removal;  // Del, DelTree, emptied directories
    copy::InUseFiles& inUse;     // Ren of a file in use: at the next start
    copy::DiskPrompt& disks;     // PlaySound: the disk of a sound file that is missing
    const copy::DiskLabels& diskLabels;
    ProgressWindow& progress;  // Cancel during Sleep and WaitUntilFileExists
    LinkServices& links;       // DDE: the program manager
    ProgramStarter& programs;
    SoundOutput& sound;
    SystemCommands& system;
    BackgroundWindow* background = nullptr;  // console runs have none
};

// Adds Copy, Del/Erase, DelTree, MD/MkDir, RD/RmDir, Ren/Rename, Call, DDE, Sleep,
// WaitUntilFileExists, Beep, PlaySound, ShowPicture, the system commands, and the fallback
// that starts any other word as a program. `services` must outlive the table.
void registerActionCommands(CommandTable& table, ActionServices& services);

}  // namespace kestrel::setup::commands
