// Programs, sounds, the picture and disks as the action commands' tests see them: recorded,
// never started, played or asked.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "commands/ActionCommands.h"
#include "commands/ProgramStarter.h"
#include "commands/SoundOutput.h"
#include "copy/DiskPrompt.h"
#include "copy/FileRemoval.h"
#include "ops/LinkServices.h"
#include "program/SetupSession.h"
#include "ui/BackgroundWindow.h"

namespace kestrel::setup::test {

namespace fs = std::filesystem;

class RecordingStarter : public commands::ProgramStarter {
  public:
    struct Start {
        std::string commandLine, workingDirectory;
        bool wait;
    };
    std::uint32_t answer = 0;
    std::vector<Start> starts;
    // What the started program does (before it ends, when waited for).
    std::function<void(std::string_view commandLine)> child;
    std::uint32_t start(std::string_view commandLine, std::string_view workingDirectory,
                        bool wait) override {
        starts.push_back({std::string(commandLine), std::string(workingDirectory), wait});
        if (child && answer == 0) child(commandLine);
        return answer;
    }
    std::vector<std::string> commandLines() const {
        std::vector<std::string> lines;
        for (const Start& start : starts) lines.push_back(start.commandLine);
        return lines;
    }
    // The command lines started by the installer for its child runs, each without the notify
    // window the child reports to (" /W<n>", which every child run gets; checked here).
    std::vector<std::string> childCommands() const {
        std::vector<std::string> lines;
        for (const std::string& line : commandLines()) {
            const std::size_t at = line.rfind(" /W");
            const bool window = at != std::string::npos && at + 3 < line.size() &&
                                line.find_first_not_of("0123456789", at + 3) == std::string::npos;
            EXPECT_TRUE(window) << line;
            lines.push_back(window ? line.substr(0, at) : line);
        }
        return lines;
    }
};

class RecordingSound : public commands::SoundOutput {
  public:
    std::vector<commands::SystemSound> beeps;
    struct Play {
        fs::path file;
        bool wait, loop;
    };
    std::vector<Play> plays;
    int stops = 0;
    bool isPlaying = false;
    void beep(commands::SystemSound sound) override { beeps.push_back(sound); }
    bool play(const fs::path& file, bool wait, bool loop) override {
        plays.push_back({file, wait, loop});
        return true;
    }
    bool playing() const override { return isPlaying; }
    void stop() override { ++stops; }
};

class RecordingBackground : public BackgroundWindow {
  public:
    std::vector<std::optional<PictureSetting>> pictures;
    void showCommandPicture(std::optional<PictureSetting> picture) override {
        pictures.push_back(std::move(picture));
    }
    void variablesChanged() override {}
};

class RecordingDisks : public copy::DiskPrompt, public copy::DiskLabels {
  public:
    copy::DiskAnswer answer;
    std::vector<copy::DiskRequest> requests;
    copy::DiskAnswer askFor(const copy::DiskRequest& request) override {
        requests.push_back(request);
        return answer;
    }
    std::string label(const std::string& diskName) const override { return "Disk " + diskName; }
};

// The action commands' services with programs, sounds, the picture and disks recorded; the
// copier, the files in use and the progress window are the test's own.
struct RecordedActions {
    RecordingStarter starter;
    RecordingSound sound;
    RecordingBackground background;
    RecordingDisks disks;
    commands::UnsupportedSystemCommands system;
    std::unique_ptr<copy::FileRemoval> removal;
    std::unique_ptr<LinkServices> links;
    std::unique_ptr<commands::ActionServices> services;

    void start(platform::MachineRoot& machine, SetupSession& session, copy::FileCopier& copier,
               copy::InUseFiles& inUse, ProgressWindow& progress) {
        removal =
            std::make_unique<copy::FileRemoval>(machine, inUse, session.messages(), session.run());
        links = std::make_unique<LinkServices>(
            machine, [](std::string_view) { return std::optional<std::string>(); },
            [](const fs::path&) { return platform::Expected<void, std::string>(); });
        services = std::make_unique<commands::ActionServices>(
            commands::ActionServices{copier, *removal, inUse, disks, disks, progress, *links,
                                     starter, sound, system, &background});
    }
    // The same services with programs started through `programs`.
    void useStarter(commands::ProgramStarter& programs) {
        services = std::make_unique<commands::ActionServices>(commands::ActionServices{
            services->copier, *removal, services->inUse, disks, disks, services->progress, *links,
            programs, sound, system, &background});
    }
};

}  // namespace kestrel::setup::test
