#pragma once

#include <atomic>
#include <string>
#include <thread>

#include "commands/SoundOutput.h"
#include "commands/WaveSound.h"

namespace kestrel::setup::commands {

// Sound through ALSA's PCM device (the desktop's sound server where ALSA routes to one). A
// device that cannot be opened plays nothing, and ALSA's own complaints are kept off the
// terminal: a machine without sound is no error.
class AlsaSoundOutput final : public SoundOutput {
  public:
    explicit AlsaSoundOutput(std::string device = "default");
    ~AlsaSoundOutput() override;
    AlsaSoundOutput(const AlsaSoundOutput&) = delete;
    AlsaSoundOutput& operator=(const AlsaSoundOutput&) = delete;

    void beep(SystemSound sound) override;
    bool play(const std::filesystem::path& file, bool wait, bool loop) override;
    bool playing() const override { return playing_; }
    void stop() override;

  private:
    void start(WaveSound sound, bool wait, bool loop);

    std::string device_;
    std::thread player_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> playing_{false};
};

}  // namespace kestrel::setup::commands
