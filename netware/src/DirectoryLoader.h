// Reads a directory file (JSON: trees, objects, attributes, password hashes) into a
// Directory, refusing anything it cannot serve faithfully with an error that names the file
// and the place.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "Directory.h"
#include "platform/Expected.h"

namespace nw {

// A syntax error names its line and column ("dir.json:3:7: ..."), a content error the JSON
// pointer of the offending member ("dir.json: /trees/0/objects/2 (CN=X.O=A): ...").
using LoadError = kestrel::platform::ParseError;
using LoadResult = kestrel::platform::Expected<std::shared_ptr<const Directory>, LoadError>;

LoadResult loadDirectory(const std::filesystem::path& file);
// `origin` names the text in messages.
LoadResult parseDirectory(std::string_view json, const std::string& origin);

}  // namespace nw
