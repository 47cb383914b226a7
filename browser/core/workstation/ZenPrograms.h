// The check for the two remote-management programs in the start directory.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel::browser {

inline constexpr std::string_view kViewerProgram = "WVIEWNT.EXE";
inline constexpr std::string_view kDesktopProgram = "DESKTOP.EXE";

struct ZenPrograms {
    bool viewerFound = false;
    bool desktopFound = false;
};

// The file under this name in `directory` that opens for reading, matched without regard to
// case as a Windows file system would; nullopt when there is none.
std::optional<std::filesystem::path> findProgramFile(const std::filesystem::path& directory,
                                                     std::string_view name);

ZenPrograms findZenPrograms(const std::filesystem::path& directory);

// The Yes/No question when a program is missing; nullopt when both are there.
std::optional<std::string> missingProgramsQuestion(const ZenPrograms& programs);

}  // namespace kestrel::browser
