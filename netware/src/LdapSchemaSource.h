// Where a server's schema comes from: the server's subschema entry, or the copy of it that
// an earlier process kept in the user's cache folder while the server says its schema has
// not changed since (the entry's modifyTimestamp). A program that reads one attribute then
// asks for a timestamp instead of the 64 KB of schema a server sends, and takes the schema
// as it was read instead of reading its descriptions again.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "LdapConnection.h"
#include "LdapSchema.h"

namespace nw {

struct ServerSchema {
    std::string entry;     // the subschema entry's DN
    std::string modified;  // its modifyTimestamp, empty when the server gives none
    LdapSchema schema;
};

// The copy of the schema of the server at `serverUrl`.
std::filesystem::path schemaCacheFile(std::string_view serverUrl);

// The question whether the copy is current, sent ahead on a connection so that its answer
// comes back with the caller's first one.
struct SchemaCheck {
    std::uint64_t connection = 0;  // LdapConnection::serial(); 0: nothing was sent
    int id = 0;
    std::shared_ptr<const ServerSchema> kept;  // the copy asked about
};
SchemaCheck sendSchemaCheck(LdapConnection& connection, const std::filesystem::path& cache);

// The server's schema, through `cache` where it is current (as the answer to `sentAhead`
// says, when it was sent on this connection); a schema read from the server replaces the
// copy there. Nothing when the server gives none (the derived names serve).
ServerSchema serverSchema(LdapConnection& connection, const std::filesystem::path& cache,
                          const SchemaCheck& sentAhead = {});

}  // namespace nw
