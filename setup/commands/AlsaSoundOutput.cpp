#include "commands/AlsaSoundOutput.h"

#include <alsa/asoundlib.h>

#include <cstdarg>

namespace kestrel::setup::commands {

namespace {

constexpr unsigned kLatencyMicroseconds = 200'000;
constexpr snd_pcm_uframes_t kChunkFrames = 1024;

void quiet(const char*, int, const char*, int, const char*, ...) {}

// Plays the frames on the device until they end (again and again with `loop`) or `stop` is
// set. Nothing happens when the device cannot be opened or set up.
void playOn(const std::string& device, const WaveSound& sound, bool loop,
            const std::atomic<bool>& stop) {
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, device.c_str(), SND_PCM_STREAM_PLAYBACK, 0) < 0) return;
    const snd_pcm_format_t format =
        sound.bitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
    if (snd_pcm_set_params(pcm, format, SND_PCM_ACCESS_RW_INTERLEAVED, sound.channels, sound.rate,
                           1, kLatencyMicroseconds) < 0) {
        snd_pcm_close(pcm);
        return;
    }
    const std::size_t frameSize = sound.frameSize();
    const snd_pcm_uframes_t total = sound.data.size() / frameSize;
    do {
        for (snd_pcm_uframes_t at = 0; at < total && !stop;) {
            const snd_pcm_uframes_t count = std::min(kChunkFrames, total - at);
            snd_pcm_sframes_t written =
                snd_pcm_writei(pcm, sound.data.data() + at * frameSize, count);
            if (written < 0) written = snd_pcm_recover(pcm, static_cast<int>(written), 1);
            if (written < 0) {
                snd_pcm_close(pcm);
                return;
            }
            at += static_cast<snd_pcm_uframes_t>(written);
        }
    } while (loop && !stop && total > 0);
    if (stop)
        snd_pcm_drop(pcm);
    else
        snd_pcm_drain(pcm);
    snd_pcm_close(pcm);
}

}  // namespace

AlsaSoundOutput::AlsaSoundOutput(std::string device) : device_(std::move(device)) {
    snd_lib_error_set_handler(quiet);
}

AlsaSoundOutput::~AlsaSoundOutput() {
    stop();
}

void AlsaSoundOutput::beep(SystemSound sound) {
    start(systemSoundTone(sound), false, false);
}

bool AlsaSoundOutput::play(const std::filesystem::path& file, bool wait, bool loop) {
    auto sound = readWaveFile(file);
    if (!sound) return false;
    start(std::move(*sound), wait, loop);
    return true;
}

void AlsaSoundOutput::stop() {
    stop_ = true;
    if (player_.joinable()) player_.join();
    playing_ = false;
}

void AlsaSoundOutput::start(WaveSound sound, bool wait, bool loop) {
    stop();  // one sound at a time, as the system plays them
    stop_ = false;
    if (wait) {
        playOn(device_, sound, false, stop_);
        return;
    }
    playing_ = true;
    player_ = std::thread([this, sound = std::move(sound), loop] {
        playOn(device_, sound, loop, stop_);
        playing_ = false;
    });
}

}  // namespace kestrel::setup::commands
