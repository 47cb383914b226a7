// Reads a directory file (JSON: trees, objects, attributes, password hashes) as a stream and
// hands each object's record and each tree's indexes to a sink (the compiled store or
// memory), refusing anything it cannot serve faithfully with an error that names the file
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

// Where the compiled objects go. A sink that cannot keep them throws SinkError; the
// compilation then fails with its message.
struct SinkError {
    std::string message;
};
class DirectorySink {
  public:
    virtual ~DirectorySink() = default;
    virtual void beginTree() = 0;
    virtual void putObject(std::uint32_t index, std::string_view record) = 0;
    virtual void endTree(const std::string& name, TreeIndex index) = 0;
};

kestrel::platform::Expected<void, LoadError> compileDirectory(std::string_view json,
                                                              const std::string& origin,
                                                              DirectorySink& sink);

// The directory in memory (the fallback without a compiled store, and tests).
LoadResult loadDirectory(const std::filesystem::path& file);
// `origin` names the text in messages.
LoadResult parseDirectory(std::string_view json, const std::string& origin);

}  // namespace nw
