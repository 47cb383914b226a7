#pragma once

#include <string>

#include "commands/SoundOutput.h"
#include "program/SetupSession.h"

namespace kestrel::setup {

// Plays [Application] BackgroundSound (expanded) as the main window comes up, by its flags:
// a system sound's alias beeps that sound; a file is looked for where pictures are; what
// cannot be played sounds the default beep unless NODEFAULT says not to. ASYNC plays in the
// background (LOOP over and over), else the run waits for its end.
void playBackgroundSound(SetupSession& session, commands::SoundOutput& output,
                         const std::string& startDirectory);

}  // namespace kestrel::setup
