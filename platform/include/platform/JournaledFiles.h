// The file-system changes of an installer run, each written down in the active change journal
// (ChangeJournal.h) before it is made, so that a failed or killed run can be undone. Outside
// a journaled run they are the plain calls.
#pragma once

#include <filesystem>
#include <system_error>

namespace kestrel::platform::journaled {

// For changes made some other way: before a file is created, replaced or written into
// (`inPlace`: its own content is written, as an append does), or its attributes, mode, times
// or security change.
void beforeChange(const std::filesystem::path& path, bool inPlace = false);

std::error_code rename(const std::filesystem::path& from, const std::filesystem::path& to);
// A file or a link (never what it points to). A missing one is no error.
std::error_code removeFile(const std::filesystem::path& path);
// The folder and its missing parents.
std::error_code createFolders(const std::filesystem::path& path);
// An empty folder.
std::error_code removeFolder(const std::filesystem::path& path);
// A folder with everything in it, links removed as links.
std::error_code removeTree(const std::filesystem::path& path);

}  // namespace kestrel::platform::journaled
