// Reads a directory file (JSON: trees, objects, attributes, password hashes) into a
// Directory, refusing anything it cannot serve faithfully with an error that names the file
// and the place.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "Directory.h"

namespace nw {

struct LoadError {
    std::string message;  // "<file>:<line>:<column>: ..." or "<file>: <json pointer>: ..."
};

using LoadResult = std::variant<std::shared_ptr<const Directory>, LoadError>;

LoadResult loadDirectory(const std::filesystem::path& file);
// `origin` names the text in messages.
LoadResult parseDirectory(std::string_view json, const std::string& origin);

}  // namespace nw
