#include "commands/WaveSound.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string_view>

namespace kestrel::setup::commands {

namespace {

constexpr std::uint16_t kPcm = 1;

std::uint32_t little32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t little16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

bool tagIs(std::span<const std::uint8_t> bytes, std::size_t at, std::string_view tag) {
    return std::equal(tag.begin(), tag.end(), bytes.begin() + at,
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

platform::Unexpected<std::string> failure(std::string why) {
    return platform::unexpected(std::move(why));
}

}  // namespace

platform::Expected<WaveSound, std::string> readWave(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 12 || !tagIs(bytes, 0, "RIFF") || !tagIs(bytes, 8, "WAVE"))
        return failure("not a WAVE file");
    WaveSound sound;
    bool format = false;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::uint32_t size = little32(bytes, at + 4);
        const std::size_t body = at + 8;
        const std::size_t available = std::min<std::size_t>(size, bytes.size() - body);
        if (tagIs(bytes, at, "fmt ")) {
            if (available < 16) return failure("its format block is cut short");
            if (little16(bytes, body) != kPcm) return failure("its samples are not PCM");
            sound.channels = little16(bytes, body + 2);
            sound.rate = little32(bytes, body + 4);
            sound.bitsPerSample = little16(bytes, body + 14);
            if (sound.channels < 1 || sound.channels > 8 || sound.rate < 1000 ||
                sound.rate > 192000 || (sound.bitsPerSample != 8 && sound.bitsPerSample != 16))
                return failure("its sample format cannot be played");
            format = true;
        } else if (tagIs(bytes, at, "data")) {
            if (!format) return failure("its data come before their format");
            const std::size_t whole = available - available % sound.frameSize();
            sound.data.assign(bytes.begin() + body, bytes.begin() + body + whole);
            return sound;
        }
        at = body + size + (size & 1);  // blocks are padded to even sizes
        if (at < body) break;           // a size that wraps around
    }
    return failure(format ? "it has no sound data" : "it has no format block");
}

platform::Expected<WaveSound, std::string> readWaveFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return failure("it cannot be opened");
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    return readWave(bytes);
}

WaveSound systemSoundTone(SystemSound sound) {
    struct Tone {
        double hertz;
        int milliseconds;
    };
    Tone tone{800, 150};
    switch (sound) {
        case SystemSound::Default:
            break;
        case SystemSound::Stop:
            tone = {330, 350};
            break;
        case SystemSound::Question:
            tone = {660, 200};
            break;
        case SystemSound::Exclamation:
            tone = {880, 250};
            break;
        case SystemSound::Information:
            tone = {1046, 150};
            break;
    }
    WaveSound wave;
    const std::size_t frames = wave.rate * tone.milliseconds / 1000;
    wave.data.reserve(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        // Faded in and out over 5 ms, so the tone does not click.
        const double edge =
            std::min<double>({1.0, i / (wave.rate * 0.005), (frames - i) / (wave.rate * 0.005)});
        const double value = std::sin(2 * std::numbers::pi * tone.hertz * i / wave.rate);
        const auto sample = static_cast<std::int16_t>(value * edge * 12000);
        wave.data.push_back(static_cast<std::uint8_t>(sample & 0xFF));
        wave.data.push_back(static_cast<std::uint8_t>((sample >> 8) & 0xFF));
    }
    return wave;
}

}  // namespace kestrel::setup::commands
