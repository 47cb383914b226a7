// Where the installer's sounds go: the message beeps, the system's named sounds and WAV files.
#pragma once

#include <filesystem>

namespace kestrel::setup::commands {

// The message beeps by their types (the icon of a message box: 0x10 stop, 0x20 question,
// 0x30 exclamation, 0x40 information) and the default beep.
enum class SystemSound { Default, Stop, Question, Exclamation, Information };

// A machine without an output device plays nothing and says nothing: none of these calls
// report a missing device.
class SoundOutput {
  public:
    virtual ~SoundOutput() = default;
    // Plays the system sound in the background.
    virtual void beep(SystemSound sound) = 0;
    // Plays a WAV file. `wait`: returns when it has ended; else it plays in the background,
    // with `loop` over and over until stopped. false when the file is no sound that can be
    // played (unreadable, not WAV, an unsupported encoding).
    virtual bool play(const std::filesystem::path& file, bool wait, bool loop) = 0;
    // Whether a sound of play() is still going on.
    virtual bool playing() const = 0;
    virtual void stop() = 0;
};

}  // namespace kestrel::setup::commands
