// The record of starts for scripted use: one line per start in the file named by
// RMVIEWER_RECORD, so tests and the demo can see what the callers passed.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace kestrel::rmviewer {

inline constexpr const char* kRecordVariable = "RMVIEWER_RECORD";

// The file named by RMVIEWER_RECORD; nullopt when it is unset or empty.
std::optional<std::filesystem::path> recordFileFromEnvironment();

// The file name of argv[0] and every further argument, tab-separated, ending in a line break.
// Control characters inside an argument (a tab or line break would split the record) are
// written as \xHH.
std::string recordLine(const std::vector<std::string>& argv);

// Appends `line` with a single write to the end of the file (created when missing), so
// concurrent starts never interleave their lines.
std::error_code appendRecord(const std::filesystem::path& file, const std::string& line);

}  // namespace kestrel::rmviewer
