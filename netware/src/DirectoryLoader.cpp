#include "DirectoryLoader.h"

#include <algorithm>
#include <deque>
#include <fstream>
#include <unordered_map>

#include "ByteCodec.h"
#include "DistinctValues.h"
#include "FileSnapshot.h"
#include "JsonReader.h"
#include "MemoryDirectory.h"
#include "ObjectRecordWriter.h"
#include "TreeBuilder.h"
#include "nwkit/Syntax.h"
#include "nwnet.h"

namespace nw {

namespace {

constexpr std::size_t kMaxValueBytes = 60000;  // one value always fits a 64512-byte reply
constexpr std::size_t kMaxAttributes = 32767;  // read positions keep 15 bits for these...
constexpr std::size_t kMaxValues = 65535;      // ...and 16 bits for the values
constexpr std::string_view kUserClass = "User";
constexpr std::string_view kContainerClasses[] = {"Country", "Locality", "Organization",
                                                  "Organizational Unit"};

// The JSON pointer of a member, kept as a chain of segments and spelt out only when an
// error needs it: building it for every value would cost more than reading the value.
struct Where {
    const Where* up = nullptr;
    std::string_view segment;
    std::size_t number = 0;
    bool isNumber = false;

    Where member(std::string_view name) const { return Where{this, name, 0, false}; }
    Where element(std::size_t i) const { return Where{this, {}, i, true}; }
    std::string text() const {
        std::string out = up != nullptr ? up->text() : std::string();
        if (up == nullptr && !isNumber) return std::string(segment);  // the root segment
        out += '/';
        out += isNumber ? std::to_string(number) : std::string(segment);
        return out;
    }
};

// Thrown inside the compiler only and turned into a LoadError at its boundary.
struct Invalid {
    std::string where;
    std::string what;
};

[[noreturn]] void fail(const Where& where, std::string what) {
    throw Invalid{where.text(), std::move(what)};
}

class Compiler {
  public:
    Compiler(std::string_view json, DirectorySink& sink) : in_(json), sink_(sink) {}

    void document() {
        bool sawTrees = false;
        Where root{nullptr, "/", 0, false};
        if (in_.peek() != JsonKind::Object) {
            in_.skipValue();
            fail(root, "expected {\"trees\": [...]}");
        }
        in_.beginObject();
        std::string_view key;
        while (in_.nextMember(&key)) {
            if (key != "trees") {
                in_.skipValue();
                continue;
            }
            if (in_.peek() != JsonKind::Array) fail(root, "expected {\"trees\": [...]}");
            sawTrees = true;
            in_.beginArray();
            Where trees{nullptr, "/trees", 0, false};
            for (std::size_t i = 0; in_.nextElement(); ++i) tree(trees.element(i));
        }
        in_.finish();
        if (!sawTrees) fail(root, "expected {\"trees\": [...]}");
    }

  private:
    void tree(const Where& where) {
        if (in_.peek() != JsonKind::Object) fail(where, "a tree needs a \"name\"");
        std::string name;
        bool named = false;
        TreeBuilder builder;
        containers_.clear();
        sink_.beginTree();
        in_.beginObject();
        std::string_view key;
        while (in_.nextMember(&key)) {
            if (key == "name") {
                if (in_.peek() != JsonKind::String) fail(where, "a tree needs a \"name\"");
                name = std::string(in_.readString());
                named = true;
            } else if (key == "objects") {
                Where objects = where.member("objects");
                if (in_.peek() != JsonKind::Array) fail(objects, "expected an array");
                in_.beginArray();
                for (std::size_t i = 0; in_.nextElement(); ++i) object(objects.element(i), builder);
            } else {
                in_.skipValue();
            }
        }
        if (!named) fail(where, "a tree needs a \"name\"");
        if (name.empty() || utf8Length(name) > MAX_TREE_NAME_CHARS)
            fail(where.member("name"), "tree name must have 1 to 32 characters");
        for (const auto& seen : treeNames_)
            if (equalsIgnoreAsciiCase(seen, name))
                fail(where.member("name"), "a tree of that name exists already");
        builder.link();
        treeNames_.push_back(name);
        sink_.endTree(name, builder.take());
    }

    // Errors about an object name it once the name is known.
    static std::string labelled(const Where& where, const std::string& name) {
        return name.empty() ? where.text() : where.text() + " (" + name + ")";
    }
    [[noreturn]] static void failAt(const Where& where, const std::string& name,
                                    std::string_view member, std::string what) {
        std::string at = labelled(where, name);
        if (!member.empty()) at += "/" + std::string(member);
        throw Invalid{std::move(at), std::move(what)};
    }

    void object(const Where& where, TreeBuilder& builder) {
        if (in_.peek() != JsonKind::Object) fail(where, "expected an object");
        std::string name, objectName, baseClass, password;
        bool hasClass = false, hasPassword = false, hasClassAttribute = false;
        attributes_.clear();
        attributeNames_.clear();
        classValues_.clear();
        in_.beginObject();
        std::string_view member;
        while (in_.nextMember(&member)) {
            if (member == "name") {
                if (in_.peek() != JsonKind::String) fail(where, "object without \"name\"");
                name = std::string(in_.readString());
                objectName = storedName(where, name);
            } else if (member == "class") {
                if (in_.peek() != JsonKind::String)
                    failAt(where, name, "", "object without \"class\"");
                baseClass = std::string(in_.readString());
                hasClass = true;
            } else if (member == "password") {
                if (in_.peek() != JsonKind::String ||
                    (password = std::string(in_.readString())).rfind("$6$", 0) != 0)
                    failAt(where, name, "password",
                           "a password must be a crypt(3) SHA-512 hash (\"$6$...\")");
                hasPassword = true;
            } else if (member == "attributes") {
                hasClassAttribute = attributeList(where, name);
            } else {
                failAt(where, name, member, "unknown member");
            }
        }
        if (objectName.empty()) fail(where, "object without \"name\"");
        if (!hasClass) failAt(where, name, "", "object without \"class\"");
        if (baseClass.empty() || utf8Length(baseClass) > MAX_SCHEMA_NAME_CHARS)
            failAt(where, name, "class", "class name must have 1 to 32 characters");
        std::uint32_t index = builder.size();
        place(where, name, objectName, baseClass, builder);
        if (hasPassword != (baseClass == kUserClass))
            failAt(where, name, hasPassword ? "password" : "",
                   hasPassword ? "only a User has a password"
                               : "a User needs a \"password\" (a crypt(3) SHA-512 hash)");

        record_.begin(objectName, baseClass,
                      hasPassword ? std::string_view(password) : std::string_view());
        // Every object answers for its class, as the search filters on "Object Class" expect.
        if (!hasClassAttribute) {
            values_.clear();
            values_.add(baseClass);
            values_.add("Top");
            record_.add(SYN_CLASS_NAME, kObjectClassAttribute, values_);
            classValues_ = {baseClass, "Top"};
        }
        record_.add(attributes_);
        sink_.putObject(index, record_.record());
        builder.post(baseClassPosting(baseClass), index);
        for (const auto& value : classValues_) builder.post(objectClassPosting(value), index);
    }

    // Takes the object into the tree: its container must be listed before it and be of a
    // container class; at the top of the tree only countries, organizations and localities
    // stand.
    void place(const Where& where, const std::string& name, const std::string& objectName,
               const std::string& baseClass, TreeBuilder& builder) {
        std::optional<std::uint32_t> container;
        switch (builder.add(asciiLower(objectName), &container)) {
            case TreeBuilder::Added::Duplicate:
                failAt(where, name, "", "an object of that name exists already");
            case TreeBuilder::Added::NoContainer:
                failAt(where, name, "", "its container is not listed before it");
            case TreeBuilder::Added::Taken:
                break;
        }
        if (container && !containers_[*container])
            failAt(where, name, "",
                   "its container is not of a container class (Country, Locality, "
                   "Organization, Organizational Unit)");
        if (!container && !isTopType(splitStoredName(objectName).front()))
            failAt(where, name, "", "only C=, O=, L= and S= objects may sit at the top of a tree");
        containers_.push_back(std::find(std::begin(kContainerClasses), std::end(kContainerClasses),
                                        baseClass) != std::end(kContainerClasses));
    }

    static bool isTopType(std::string_view component) {
        std::string_view type = component.substr(0, component.find('='));
        for (std::string_view top : {"C", "O", "L", "S"})
            if (equalsIgnoreAsciiCase(type, top)) return true;
        return false;
    }

    // An object's name as stored (its lower-cased form is the lookup key); it must be typed
    // and valid.
    static std::string storedName(const Where& where, const std::string& rawName) {
        NameError error{};
        auto parsed = parseFileName(rawName, &error);
        if (!parsed || parsed->absolute || parsed->levelsUp != 0 || parsed->components.empty())
            failAt(where, rawName, "",
                   error == NameError::TooLong ? "name longer than 256 characters"
                                               : "not a valid object name");
        for (const auto& component : parsed->components)
            if (component.type.empty())
                failAt(where, rawName, "",
                       "every name component needs a type (CN=, OU=, O=, C=, L=, S=)");
        return AbsoluteName{parsed->components}.text();
    }

    // Reads the attributes into attributes_; true when "Object Class" is among them.
    bool attributeList(const Where& where, const std::string& objectName) {
        std::string at = labelled(where, objectName) + "/attributes";
        Where attributesAt{nullptr, at, 0, false};
        if (in_.peek() != JsonKind::Object) fail(attributesAt, "expected an object");
        bool hasClassAttribute = false;
        in_.beginObject();
        std::string_view rawName;
        while (in_.nextMember(&rawName)) {
            const AttributeName& name = intern(rawName);
            Where here = attributesAt.member(name.text);
            if (attributeNames_.size() == kMaxAttributes) fail(attributesAt, "too many attributes");
            if (!name.valid) fail(here, "attribute name must have 1 to 32 characters");
            for (std::uint32_t existing : attributeNames_)
                if (existing == name.id) fail(here, "attribute given twice");
            attributeNames_.push_back(name.id);
            hasClassAttribute = hasClassAttribute || name.isClass;
            attribute(here, name.text, name.isClass);
        }
        return hasClassAttribute;
    }

    // Attribute names are few and repeat in every object: each spelling is checked once and
    // kept once; names that differ only in case share an id.
    struct AttributeName {
        std::string text;
        std::uint32_t id = 0;
        bool valid = false;
        bool isClass = false;
    };
    const AttributeName& intern(std::string_view raw) {
        if (auto it = names_.find(raw); it != names_.end()) return *it->second;
        AttributeName& entry = nameStore_.emplace_back();
        entry.text = std::string(raw);
        entry.id = idsByLowerName_.emplace(asciiLower(raw), idsByLowerName_.size()).first->second;
        entry.valid = !raw.empty() && utf8Length(raw) <= MAX_SCHEMA_NAME_CHARS;
        entry.isClass = equalsIgnoreAsciiCase(raw, kObjectClassAttribute);
        names_.emplace(entry.text, &entry);
        return entry;
    }

    void attribute(const Where& where, std::string_view name, bool isClass) {
        if (in_.peek() != JsonKind::Array) fail(where, "expected an array of one or more values");
        values_.clear();
        distinct_.clear();
        std::uint32_t syntax = 0, count = 0;
        in_.beginArray();
        for (; in_.nextElement(); ++count) {
            Where at = where.element(count);
            if (count == kMaxValues) fail(where, "too many values");
            std::uint32_t valueSyntax = value(at);
            if (value_.size() > kMaxValueBytes) fail(at, "value longer than 60000 bytes");
            if (count > 0 && valueSyntax != syntax)
                fail(at, "all values of an attribute must have the same syntax");
            if (!distinct_.insert(valueSyntax, value_)) fail(at, "the same value is given twice");
            // The class index keeps class names as text; numbers there would escape it.
            if (isClass && !kit::isTextSyntax(valueSyntax))
                fail(at, "\"Object Class\" values must be text");
            syntax = valueSyntax;
            values_.add(value_);
            if (isClass) classValues_.emplace_back(value_);
        }
        if (count == 0) fail(where, "expected an array of one or more values");
        attributes_.add(syntax, name, values_);
    }

    // One value into value_; returns its syntax.
    std::uint32_t value(const Where& where) {
        JsonKind kind = in_.peek();
        if (kind == JsonKind::String) {
            value_ = in_.readString();
            return SYN_CI_STRING;
        }
        const char* shape =
            "a value is a string or an object with one of string, integer, time, octets, "
            "netaddress";
        if (kind != JsonKind::Object) fail(where, shape);
        in_.beginObject();
        std::string_view member;
        std::string kindName;
        std::uint32_t syntax = 0;
        bool hasString = false, hasSyntax = false;
        std::uint32_t forced = SYN_CI_STRING;
        int members = 0;
        while (in_.nextMember(&member)) {
            ++members;
            if (member == "string") {
                if (in_.peek() != JsonKind::String)
                    fail(where.member("string"), "expected a string");
                value_ = in_.readString();
                hasString = true;
            } else if (member == "syntax") {
                forced = number32(where.member("syntax"), false);
                if (!kit::isTextSyntax(forced))
                    fail(where.member("syntax"), "not a text syntax (1, 2, 3, 4, 5, 10 or 20)");
                hasSyntax = true;
            } else if (!kindName.empty() || hasString || hasSyntax) {
                fail(where, "unexpected members in value");
            } else {
                kindName = std::string(member);
                syntax = typedValue(where.member(kindName), kindName);
            }
        }
        if (members == 0) fail(where, shape);
        if (hasString && kindName.empty()) return forced;
        if (hasString || hasSyntax) fail(where, "unexpected members in value");
        return syntax;
    }

    std::uint32_t typedValue(const Where& at, const std::string& kind) {
        if (kind == "integer") return encoded(SYN_INTEGER, number32(at, true));
        if (kind == "time") return encoded(SYN_TIME, number32(at, false));
        if (kind == "octets") {
            value_ = bytesOf(at);
            return SYN_OCTET_STRING;
        }
        if (kind == "netaddress") return netAddress(at);
        in_.skipValue();
        fail(at, "unknown value kind");
    }

    std::uint32_t encoded(std::uint32_t syntax, std::uint32_t number) {
        value_.assign(4, '\0');
        std::memcpy(value_.data(), &number, 4);
        return syntax;
    }

    std::uint32_t netAddress(const Where& at) {
        const char* shape = "expected {\"type\": n, \"hex\": \"...\"}";
        if (in_.peek() != JsonKind::Object) fail(at, shape);
        std::optional<std::uint32_t> type;
        std::optional<std::string> address;
        bool hexSeen = false;
        in_.beginObject();
        std::string_view member;
        while (in_.nextMember(&member)) {
            if (member == "type") {
                type = number32(at.member("type"), false);
            } else if (member == "hex") {
                hexSeen = true;
                if (in_.peek() == JsonKind::String)
                    address = decodeHex(in_.readString());
                else
                    in_.skipValue();
            } else {
                fail(at, shape);
            }
        }
        if (!type || !hexSeen) fail(at, shape);
        if (!address) fail(at.member("hex"), "expected hexadecimal address bytes");
        encoded(SYN_NET_ADDRESS, *type);
        value_ += *address;
        return SYN_NET_ADDRESS;
    }

    std::uint32_t number32(const Where& where, bool allowNegative) {
        const char* expected =
            allowNegative ? "expected an integer" : "expected a non-negative integer";
        if (in_.peek() != JsonKind::Number) {
            in_.skipValue();
            fail(where, expected);
        }
        JsonNumber n = in_.readNumber();
        if (!n.integral || (n.negative && !allowNegative && n.magnitude != 0))
            fail(where, expected);
        if (n.overflow || (!n.negative && n.magnitude > 0xFFFFFFFFu) ||
            (n.negative && n.magnitude > 0x80000000u))
            fail(where, "number out of range (32 bits)");
        return n.negative ? static_cast<std::uint32_t>(-static_cast<std::int64_t>(n.magnitude))
                          : static_cast<std::uint32_t>(n.magnitude);
    }

    std::string bytesOf(const Where& where) {
        if (in_.peek() != JsonKind::String) {
            in_.skipValue();
            fail(where, "expected \"hex:...\" or \"base64:...\"");
        }
        std::string_view text = in_.readString();
        std::optional<std::string> decoded;
        if (text.substr(0, 4) == "hex:")
            decoded = decodeHex(text.substr(4));
        else if (text.substr(0, 7) == "base64:")
            decoded = decodeBase64(text.substr(7));
        else
            fail(where, "octets must begin with \"hex:\" or \"base64:\"");
        if (!decoded) fail(where, "malformed octet data");
        return *decoded;
    }

    JsonReader in_;
    DirectorySink& sink_;
    std::vector<std::string> treeNames_;
    std::deque<AttributeName> nameStore_;
    std::unordered_map<std::string_view, const AttributeName*> names_;
    std::unordered_map<std::string, std::uint32_t> idsByLowerName_;
    // Per object and per attribute, reused so that their memory is not allocated again.
    ObjectRecordWriter record_;
    AttributeRecords attributes_;
    WireValues values_;
    std::string value_;
    std::vector<std::uint32_t> attributeNames_;  // ids of the object's attributes so far
    std::vector<std::string> classValues_;
    std::vector<bool> containers_;  // per object of the tree: of a container class
    DistinctValues distinct_;
};

// MemAvailable of the kernel; unlimited when it cannot be read.
std::uint64_t availableMemory() {
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    std::uint64_t kilobytes = 0;
    while (meminfo >> key >> kilobytes) {
        if (key == "MemAvailable:") return kilobytes << 10;
        meminfo.ignore(64, '\n');
    }
    return UINT64_MAX;
}

}  // namespace

kestrel::platform::Expected<void, LoadError> compileDirectory(std::string_view json,
                                                              const std::string& origin,
                                                              DirectorySink& sink) {
    using kestrel::platform::unexpected;
    try {
        Compiler(json, sink).document();
        return {};
    } catch (const JsonSyntaxError& e) {
        return unexpected(LoadError{origin, e.line, e.column, e.message});
    } catch (const Invalid& e) {
        return unexpected(LoadError{origin, 0, 0, e.where + ": " + e.what});
    } catch (const SinkError& e) {
        return unexpected(LoadError{origin, 0, 0, e.message});
    }
}

LoadResult parseDirectory(std::string_view json, const std::string& origin) {
    MemoryDirectory memory;
    auto compiled = compileDirectory(json, origin, memory);
    if (!compiled) return kestrel::platform::unexpected(compiled.error());
    return memory.take();
}

LoadResult loadDirectory(const std::filesystem::path& file) {
    // The text and the records take about as much memory each: a file that cannot fit is
    // refused rather than driving the machine into swapping.
    std::error_code unknown;
    const std::uint64_t size = std::filesystem::file_size(file, unknown);
    const std::uint64_t available = availableMemory();
    if (!unknown && 2 * size > available)
        return kestrel::platform::unexpected(LoadError{
            file.string(), 0, 0,
            "the directory file is too large to read into memory (" + std::to_string(size >> 20) +
                " MB, " + std::to_string(available >> 20) + " MB available)"});
    auto text = FileSnapshot::inMemory(file);
    if (!text)
        return kestrel::platform::unexpected(LoadError{file.string(), 0, 0, text.error().message});
    return parseDirectory(text->bytes(), file.string());
}

}  // namespace nw
