#pragma once

#include <filesystem>

#include "platform/ChangeJournal.h"

namespace kestrel::platform {

// Undoes the records of the journal in `folder`, last first, and removes the journal; what
// could not be undone is said in the result. The registry's records go through `registry`,
// which is saved afterwards when it keeps hive files.
ChangeJournal::Rollback undoJournal(const std::filesystem::path& folder, Registry& registry);

}  // namespace kestrel::platform
