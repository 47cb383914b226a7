#include "DirectoryLoader.h"

#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "ByteCodec.h"
#include "nwkit/Syntax.h"
#include "nwnet.h"

namespace nw {

namespace {

using Json = nlohmann::ordered_json;

constexpr std::size_t kMaxValueBytes = 60000;  // one value always fits a 64512-byte reply
constexpr std::size_t kMaxAttributes = 32767;  // read positions keep 15 bits for these...
constexpr std::size_t kMaxValues = 65535;      // ...and 16 bits for the values

// Thrown inside the loader only and turned into a LoadError at its boundary.
struct Invalid {
    std::string where;
    std::string what;
};

[[noreturn]] void fail(std::string where, std::string what) {
    throw Invalid{std::move(where), std::move(what)};
}

std::string encode32(std::uint32_t value) {
    std::string bytes(4, '\0');
    std::memcpy(bytes.data(), &value, 4);
    return bytes;
}

std::uint32_t number32(const Json& value, const std::string& where, bool allowNegative) {
    if (value.is_number_unsigned()) {
        auto n = value.get<std::uint64_t>();
        if (n > 0xFFFFFFFFu) fail(where, "number out of range (32 bits)");
        return static_cast<std::uint32_t>(n);
    }
    if (value.is_number_integer() && allowNegative) {
        auto n = value.get<std::int64_t>();
        if (n < INT32_MIN) fail(where, "number out of range (32 bits)");
        return static_cast<std::uint32_t>(static_cast<std::int32_t>(n));
    }
    fail(where, allowNegative ? "expected an integer" : "expected a non-negative integer");
}

std::string bytesOf(const Json& value, const std::string& where) {
    if (!value.is_string()) fail(where, "expected \"hex:...\" or \"base64:...\"");
    const auto& text = value.get_ref<const std::string&>();
    std::optional<std::string> decoded;
    if (text.rfind("hex:", 0) == 0)
        decoded = decodeHex(std::string_view(text).substr(4));
    else if (text.rfind("base64:", 0) == 0)
        decoded = decodeBase64(std::string_view(text).substr(7));
    else
        fail(where, "octets must begin with \"hex:\" or \"base64:\"");
    if (!decoded) fail(where, "malformed octet data");
    return *decoded;
}

// One value: its syntax and wire bytes.
std::pair<std::uint32_t, std::string> parseValue(const Json& value, const std::string& where) {
    if (value.is_string()) return {SYN_CI_STRING, value.get<std::string>()};
    if (!value.is_object() || value.size() == 0)
        fail(where,
             "a value is a string or an object with one of string, integer, time, "
             "octets, netaddress");
    if (value.contains("string")) {
        if (!value["string"].is_string()) fail(where + "/string", "expected a string");
        std::uint32_t syntax = SYN_CI_STRING;
        if (value.contains("syntax")) {
            syntax = number32(value["syntax"], where + "/syntax", false);
            if (!kit::isTextSyntax(syntax))
                fail(where + "/syntax", "not a text syntax (1, 2, 3, 4, 5, 10 or 20)");
        }
        return {syntax, value["string"].get<std::string>()};
    }
    if (value.size() != 1) fail(where, "unexpected members in value");
    auto member = value.begin();
    const std::string& kind = member.key();
    const Json& content = member.value();
    std::string at = where + "/" + kind;
    if (kind == "integer") return {SYN_INTEGER, encode32(number32(content, at, true))};
    if (kind == "time") return {SYN_TIME, encode32(number32(content, at, false))};
    if (kind == "octets") return {SYN_OCTET_STRING, bytesOf(content, at)};
    if (kind == "netaddress") {
        if (!content.is_object() || !content.contains("type") || !content.contains("hex"))
            fail(at, "expected {\"type\": n, \"hex\": \"...\"}");
        auto type = number32(content["type"], at + "/type", false);
        auto address = content["hex"].is_string()
                           ? decodeHex(content["hex"].get_ref<const std::string&>())
                           : std::nullopt;
        if (!address) fail(at + "/hex", "expected hexadecimal address bytes");
        return {SYN_NET_ADDRESS, encode32(type) + *address};
    }
    fail(at, "unknown value kind");
}

Attribute parseAttribute(const std::string& name, const Json& values, const std::string& where) {
    if (name.empty() || utf8Length(name) > MAX_SCHEMA_NAME_CHARS)
        fail(where, "attribute name must have 1 to 32 characters");
    if (!values.is_array() || values.empty())
        fail(where, "expected an array of one or more values");
    if (values.size() > kMaxValues) fail(where, "too many values");
    Attribute attribute{name, 0, {}};
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::string at = where + "/" + std::to_string(i);
        auto [syntax, bytes] = parseValue(values[i], at);
        if (bytes.size() > kMaxValueBytes) fail(at, "value longer than 60000 bytes");
        if (i > 0 && syntax != attribute.syntax)
            fail(at, "all values of an attribute must have the same syntax");
        attribute.syntax = syntax;
        attribute.values.push_back(std::move(bytes));
    }
    return attribute;
}

DirectoryObject parseObject(const Json& entry, const std::string& where, std::string* key) {
    if (!entry.is_object()) fail(where, "expected an object");
    if (!entry.contains("name") || !entry["name"].is_string())
        fail(where, "object without \"name\"");
    const auto& rawName = entry["name"].get_ref<const std::string&>();
    std::string at = where + " (" + rawName + ")";
    NameError error{};
    auto parsed = parseFileName(rawName, &error);
    if (!parsed || parsed->absolute || parsed->levelsUp != 0 || parsed->components.empty())
        fail(at, error == NameError::TooLong ? "name longer than 256 characters"
                                             : "not a valid object name");
    for (const auto& component : parsed->components)
        if (component.type.empty())
            fail(at, "every name component needs a type (CN=, OU=, O=, C=, L=, S=)");
    AbsoluteName name{parsed->components};
    *key = name.key();

    DirectoryObject object;
    object.name = name.text();
    if (!entry.contains("class") || !entry["class"].is_string())
        fail(at, "object without \"class\"");
    object.baseClass = entry["class"].get<std::string>();
    if (object.baseClass.empty() || utf8Length(object.baseClass) > MAX_SCHEMA_NAME_CHARS)
        fail(at + "/class", "class name must have 1 to 32 characters");
    if (entry.contains("password")) {
        const auto& hash = entry["password"];
        if (!hash.is_string() || hash.get_ref<const std::string&>().rfind("$6$", 0) != 0)
            fail(at + "/password", "a password must be a crypt(3) SHA-512 hash (\"$6$...\")");
        object.passwordHash = hash.get<std::string>();
    }
    if (entry.contains("attributes")) {
        const auto& attributes = entry["attributes"];
        if (!attributes.is_object()) fail(at + "/attributes", "expected an object");
        if (attributes.size() > kMaxAttributes) fail(at + "/attributes", "too many attributes");
        for (const auto& [attrName, values] : attributes.items()) {
            for (const auto& existing : object.attributes)
                if (equalsIgnoreAsciiCase(existing.name, attrName))
                    fail(at + "/attributes/" + attrName, "attribute given twice");
            object.attributes.push_back(
                parseAttribute(attrName, values, at + "/attributes/" + attrName));
        }
    }
    // Every object answers for its class, as the search filters on "Object Class" expect.
    bool hasClassAttribute = false;
    for (const auto& attribute : object.attributes)
        hasClassAttribute =
            hasClassAttribute || equalsIgnoreAsciiCase(attribute.name, "Object Class");
    if (!hasClassAttribute)
        object.attributes.insert(
            object.attributes.begin(),
            Attribute{"Object Class", SYN_CLASS_NAME, {object.baseClass, "Top"}});
    for (const auto& [member, unused] : entry.items())
        if (member != "name" && member != "class" && member != "password" && member != "attributes")
            fail(at + "/" + member, "unknown member");
    return object;
}

Tree parseTree(const Json& entry, const std::string& where) {
    if (!entry.is_object() || !entry.contains("name") || !entry["name"].is_string())
        fail(where, "a tree needs a \"name\"");
    auto name = entry["name"].get<std::string>();
    if (name.empty() || utf8Length(name) > MAX_TREE_NAME_CHARS)
        fail(where + "/name", "tree name must have 1 to 32 characters");
    Tree tree(name);
    if (!entry.contains("objects")) return tree;
    const auto& objects = entry["objects"];
    if (!objects.is_array()) fail(where + "/objects", "expected an array");
    for (std::size_t i = 0; i < objects.size(); ++i) {
        std::string at = where + "/objects/" + std::to_string(i);
        std::string key;
        auto object = parseObject(objects[i], at, &key);
        std::string objectName = object.name;
        if (!tree.add(std::move(object), key))
            fail(at + " (" + objectName + ")", "an object of that name exists already");
    }
    int orphan = tree.link();
    if (orphan >= 0)
        fail(where + "/objects/" + std::to_string(orphan) + " (" + tree.object(orphan).name + ")",
             "its container is not in the tree");
    return tree;
}

LoadResult failure(LoadError error) {
    return kestrel::platform::unexpected(std::move(error));
}

// Line and column of a byte offset, for syntax errors.
std::pair<std::size_t, std::size_t> position(std::string_view text, std::size_t offset) {
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return {line, column};
}

}  // namespace

LoadResult parseDirectory(std::string_view json, const std::string& origin) {
    Json document;
    try {
        document = Json::parse(json);
    } catch (const Json::parse_error& e) {
        std::string what = e.what();
        // nlohmann's text repeats the position; keep only the reason after "error: ".
        auto reason = what.find("error: ");
        what = reason == std::string::npos ? what : what.substr(reason + 7);
        auto [line, column] = position(json, e.byte > 0 ? e.byte - 1 : 0);
        return failure(LoadError{origin, line, column, what});
    }
    try {
        if (!document.is_object() || !document.contains("trees") || !document["trees"].is_array())
            fail("/", "expected {\"trees\": [...]}");
        auto directory = std::make_shared<Directory>();
        const auto& trees = document["trees"];
        for (std::size_t i = 0; i < trees.size(); ++i) {
            std::string at = "/trees/" + std::to_string(i);
            Tree tree = parseTree(trees[i], at);
            if (directory->treeIndex(tree.name()) >= 0)
                fail(at + "/name", "a tree of that name exists already");
            directory->trees().push_back(std::move(tree));
        }
        return std::shared_ptr<const Directory>(std::move(directory));
    } catch (const Invalid& e) {
        return failure(LoadError{origin, 0, 0, e.where + ": " + e.what});
    } catch (const Json::exception& e) {
        return failure(LoadError{origin, 0, 0, e.what()});
    }
}

LoadResult loadDirectory(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::string reason = std::strerror(errno);
        return failure(LoadError{file.string(), 0, 0, "cannot open the directory file: " + reason});
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) return failure(LoadError{file.string(), 0, 0, "cannot read the directory file"});
    return parseDirectory(content.str(), file.string());
}

}  // namespace nw
