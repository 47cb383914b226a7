// The handlers behind the action commands' words (ActionCommands.cpp puts them in the table).
#pragma once

#include "commands/ActionCommands.h"

namespace kestrel::setup::commands {

// Files and directories (FileCommands.cpp, DirectoryCommands.cpp).
bool copyFiles(CommandCall& call, ActionServices& services);
bool deleteFiles(CommandCall& call, ActionServices& services);
bool renameFile(CommandCall& call, ActionServices& services);
bool deleteTree(CommandCall& call, ActionServices& services);
bool makeDirectory(CommandCall& call, ActionServices& services);
bool removeDirectory(CommandCall& call, ActionServices& services);

// Programs (ProgramCommands.cpp).
bool callProgram(CommandCall& call, ActionServices& services);
bool startLine(CommandCall& call, ActionServices& services);
bool sendDde(CommandCall& call, ActionServices& services);

// Waits (WaitCommands.cpp).
bool sleepFor(CommandCall& call, ActionServices& services);
bool waitUntilFileExists(CommandCall& call, ActionServices& services);

// Sounds and the picture (SoundCommands.cpp, PictureCommand.cpp).
bool beep(CommandCall& call, ActionServices& services);
bool playSound(CommandCall& call, ActionServices& services);
bool showPicture(CommandCall& call, ActionServices& services);

}  // namespace kestrel::setup::commands
