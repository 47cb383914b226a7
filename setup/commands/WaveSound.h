// Sounds as sample data: WAV files read, and the tones that stand for the system's sounds.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "commands/SoundOutput.h"
#include "platform/Expected.h"

namespace kestrel::setup::commands {

// Interleaved PCM frames: 8-bit unsigned or 16-bit signed little-endian samples.
struct WaveSound {
    unsigned channels = 1;
    unsigned rate = 22050;
    unsigned bitsPerSample = 16;
    std::vector<std::uint8_t> data;  // whole frames only
    std::size_t frameSize() const { return channels * bitsPerSample / 8; }
};

// A RIFF WAVE file with PCM data; the error says what is wrong. Data cut short are played as
// far as they go.
platform::Expected<WaveSound, std::string> readWave(std::span<const std::uint8_t> bytes);
platform::Expected<WaveSound, std::string> readWaveFile(const std::filesystem::path& file);

// A short tone of its own pitch and length for each system sound, for roots whose sound
// scheme names no files.
WaveSound systemSoundTone(SystemSound sound);

}  // namespace kestrel::setup::commands
