#include "LdapSchemaSource.h"

#include <cstdio>
#include <functional>
#include <optional>

#include "DirectoryCache.h"
#include "DirectoryName.h"
#include "LdapObjects.h"
#include "ObjectRecord.h"
#include "platform/AtomicFile.h"

namespace nw {

namespace {

using Scope = LdapConnection::Scope;

constexpr std::string_view kCacheMagic = "kestrel-ldap-schema 1";
constexpr const char* kSubschema = "(objectClass=subschema)";

std::string firstValue(const LdapEntry& entry, std::string_view name) {
    const auto* values = valuesOf(entry, name);
    return values != nullptr && !values->empty() ? values->front() : std::string();
}

void appendTexts(std::string& out, const std::vector<std::string>& texts) {
    appendNumber(out, static_cast<std::uint32_t>(texts.size()));
    for (const std::string& text : texts) appendText(out, text);
}

bool readTexts(RecordCursor& in, std::vector<std::string>* texts) {
    std::uint32_t count = 0;
    if (!in.number(&count)) return false;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string_view text;
        if (!in.text(&text)) return false;
        texts->emplace_back(text);
    }
    return true;
}

std::optional<SchemaText> readCache(const std::filesystem::path& cache) {
    auto content = kestrel::platform::readWholeFile(cache);
    if (!content) return std::nullopt;
    RecordCursor in(*content);
    SchemaText text;
    std::string_view magic, entry, modified;
    if (!in.text(&magic) || magic != kCacheMagic || !in.text(&entry) || !in.text(&modified) ||
        !readTexts(in, &text.attributeTypes) || !readTexts(in, &text.objectClasses) ||
        !in.rest().empty())
        return std::nullopt;
    text.entry = entry;
    text.modified = modified;
    return text;
}

void writeCache(const std::filesystem::path& cache, const SchemaText& text) {
    std::string out;
    appendText(out, kCacheMagic);
    appendText(out, text.entry);
    appendText(out, text.modified);
    appendTexts(out, text.attributeTypes);
    appendTexts(out, text.objectClasses);
    std::error_code ignored;
    std::filesystem::create_directories(cache.parent_path(), ignored);
    // A copy that cannot be kept costs the next process the reading, nothing else.
    (void)kestrel::platform::writeFileAtomically(
        cache, out, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

// The question whether the server's schema is still the one a copy was read from.
kestrel::platform::Expected<int, LdapError> askModified(LdapConnection& connection,
                                                        const SchemaText& cached) {
    return connection.sendSearch(cached.entry, Scope::Base, kSubschema, {"modifyTimestamp"});
}

bool current(LdapConnection& connection, int asked, const SchemaText& cached) {
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
    return asked ? SchemaCheck{connection.serial(), *asked} : SchemaCheck{};
}

SchemaText serverSchema(LdapConnection& connection, const std::filesystem::path& cache,
                        const SchemaCheck& sentAhead) {
    if (auto cached = readCache(cache); cached && !cached->modified.empty()) {
        auto asked = sentAhead.connection == connection.serial()
                         ? kestrel::platform::Expected<int, LdapError>(sentAhead.id)
                         : askModified(connection, *cached);
        if (asked && current(connection, *asked, *cached)) return *cached;
    }
    // The schema is where the root DSE says; without it the derived names serve.
    SchemaText text;
    text.entry = "cn=Subschema";
    auto root = connection.search("", Scope::Base, "(objectClass=*)", {"subschemaSubentry"}, 0, "");
    if (root && !root->entries.empty())
        if (std::string where = firstValue(root->entries.front(), "subschemaSubentry");
            !where.empty())
            text.entry = where;
    auto schema = connection.search(text.entry, Scope::Base, kSubschema,
                                    {"attributeTypes", "objectClasses", "modifyTimestamp"}, 0, "");
    if (!schema || schema->entries.empty()) return SchemaText{};
    const LdapEntry& entry = schema->entries.front();
    for (const auto& [name, values] : entry.attributes) {
        if (equalsIgnoreAsciiCase(name, "attributeTypes")) text.attributeTypes = values;
        if (equalsIgnoreAsciiCase(name, "objectClasses")) text.objectClasses = values;
    }
    text.modified = firstValue(entry, "modifyTimestamp");
    if (!text.modified.empty()) writeCache(cache, text);
    return text;
}

}  // namespace nw
