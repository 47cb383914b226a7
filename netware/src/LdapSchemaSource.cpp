#include "LdapSchemaSource.h"

#include <cstdio>
#include <functional>
#include <optional>

#include "DirectoryCache.h"
#include "DirectoryName.h"
#include "LdapObjects.h"
#include "ObjectRecord.h"
#include "platform/AtomicFile.h"
#include "platform/PrivateFiles.h"

namespace nw {

namespace {

using Scope = LdapConnection::Scope;

constexpr std::string_view kCacheMagic = "kestrel-ldap-schema 2";
constexpr const char* kSubschema = "(objectClass=subschema)";

std::string firstValue(const LdapEntry& entry, std::string_view name) {
    const auto* values = valuesOf(entry, name);
    return values != nullptr && !values->empty() ? values->front() : std::string();
}

std::optional<ServerSchema> readCache(const std::filesystem::path& cache) {
    auto content = kestrel::platform::readWholeFile(cache);
    if (!content) return std::nullopt;
    RecordCursor in(*content);
    ServerSchema kept;
    std::string_view magic, entry, modified, schema;
    if (!in.text(&magic) || magic != kCacheMagic || !in.text(&entry) || !in.text(&modified) ||
        !in.text(&schema) || !in.rest().empty() || !kept.schema.restore(schema))
        return std::nullopt;
    kept.entry = entry;
    kept.modified = modified;
    return kept;
}

void writeCache(const std::filesystem::path& cache, const ServerSchema& read) {
    std::string out;
    appendText(out, kCacheMagic);
    appendText(out, read.entry);
    appendText(out, read.modified);
    appendText(out, read.schema.saved());
    // A copy that cannot be kept costs the next process the reading, nothing else; it is
    // only kept in a folder that is the user's alone.
    using kestrel::platform::ExistingFolder;
    if (kestrel::platform::ensurePrivateFolder(cache.parent_path(), ExistingFolder::Tighten))
        return;
    (void)kestrel::platform::writeFileAtomically(cache, out, kestrel::platform::kOwnerOnlyFile);
}

// The question whether the server's schema is still the one a copy was read from.
kestrel::platform::Expected<int, LdapError> askModified(LdapConnection& connection,
                                                        const ServerSchema& cached) {
    return connection.sendSearch(cached.entry, Scope::Base, kSubschema, {"modifyTimestamp"});
}

bool current(LdapConnection& connection, int asked, const ServerSchema& cached) {
    auto got = connection.collect(asked);
    return got && !got->entries.empty() &&
           firstValue(got->entries.front(), "modifyTimestamp") == cached.modified;
}

}  // namespace

std::filesystem::path schemaCacheFile(std::string_view serverUrl) {
    char name[48];
    std::snprintf(name, sizeof name, "ldap-schema-%016zx",
                  std::hash<std::string_view>{}(serverUrl));
    return storeCacheDir() / name;
}

SchemaCheck sendSchemaCheck(LdapConnection& connection, const std::filesystem::path& cache) {
    auto cached = readCache(cache);
    if (!cached || cached->modified.empty()) return {};
    auto asked = askModified(connection, *cached);
    if (!asked) return {};
    return SchemaCheck{connection.serial(), *asked,
                       std::make_shared<const ServerSchema>(std::move(*cached))};
}

ServerSchema serverSchema(LdapConnection& connection, const std::filesystem::path& cache,
                          const SchemaCheck& sentAhead) {
    if (sentAhead.kept && sentAhead.connection == connection.serial()) {
        if (current(connection, sentAhead.id, *sentAhead.kept)) return *sentAhead.kept;
    } else if (auto cached = readCache(cache); cached && !cached->modified.empty()) {
        auto asked = askModified(connection, *cached);
        if (asked && current(connection, *asked, *cached)) return *cached;
    }
    // The schema is where the root DSE says; without it the derived names serve.
    ServerSchema read;
    read.entry = "cn=Subschema";
    auto root = connection.search("", Scope::Base, "(objectClass=*)", {"subschemaSubentry"}, 0, "");
    if (root && !root->entries.empty())
        if (std::string where = firstValue(root->entries.front(), "subschemaSubentry");
            !where.empty())
            read.entry = where;
    auto schema = connection.search(read.entry, Scope::Base, kSubschema,
                                    {"attributeTypes", "objectClasses", "modifyTimestamp"}, 0, "");
    if (!schema || schema->entries.empty()) return ServerSchema{};
    const LdapEntry& entry = schema->entries.front();
    if (const auto* types = valuesOf(entry, "attributeTypes"))
        read.schema.addAttributeTypes(*types);
    if (const auto* classes = valuesOf(entry, "objectClasses"))
        read.schema.addObjectClasses(*classes);
    read.modified = firstValue(entry, "modifyTimestamp");
    if (!read.modified.empty()) writeCache(cache, read);
    return read;
}

}  // namespace nw
