#include "platform/VersionInfo.h"

#include <cstdio>

#include "ExecutableResource.h"
#include "LittleEndian.h"
#include "platform/AsciiCase.h"
#include "platform/CodePage.h"
#include "platform/WideText.h"

namespace kestrel::platform {
namespace {

constexpr unsigned kVersionResourceType = 16;  // RT_VERSION
constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
constexpr std::size_t kFixedSize = 52;

using Bytes = std::span<const std::byte>;
using detail::readU16;
using detail::readU32;

std::size_t align4(std::size_t offset) {
    return (offset + 3) & ~std::size_t{3};
}

// One node of the version tree: a length, the length of its value, (32-bit form only) the
// value's type, a zero-terminated key, then the value and the children, each on a 4-byte
// boundary of the resource.
struct Node {
    std::string key;  // ASCII in every node we look at
    std::size_t value = 0;
    std::size_t valueLength = 0;  // in bytes
    std::size_t children = 0;
    std::size_t end = 0;
};

class Tree {
  public:
    Tree(Bytes bytes, bool wide) : bytes_(bytes), wide_(wide) {}

    // The node at `at`, which must end by `limit`.
    std::optional<Node> node(std::size_t at, std::size_t limit) const {
        const auto length = readU16(bytes_, at);
        const auto valueLength = readU16(bytes_, at + 2);
        const std::size_t header = wide_ ? 6 : 4;
        if (!length || !valueLength || *length < header || *length > limit - at) {
            return std::nullopt;
        }
        Node node;
        node.end = at + *length;
        std::size_t cursor = at + header;
        const std::size_t unit = wide_ ? 2 : 1;
        for (;; cursor += unit) {
            if (cursor + unit > node.end) return std::nullopt;
            const unsigned c =
                wide_ ? *readU16(bytes_, cursor) : std::to_integer<unsigned>(bytes_[cursor]);
            if (c == 0) break;
            node.key.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        }
        node.value = std::min(align4(cursor + unit), node.end);
        const bool text = wide_ && *readU16(bytes_, at + 4) == 1;
        node.valueLength =
            std::min<std::size_t>(*valueLength * (text ? 2 : 1), node.end - node.value);
        node.children = std::min(align4(node.value + node.valueLength), node.end);
        return node;
    }

    std::vector<Node> children(const Node& parent) const {
        std::vector<Node> out;
        for (std::size_t at = parent.children; at < parent.end;) {
            const auto child = node(at, parent.end);
            if (!child) break;
            at = align4(child->end);
            out.push_back(*child);
        }
        return out;
    }

    // A string value up to its terminating zero, as UTF-8; single-byte text is taken in
    // `codePage`.
    std::string text(const Node& node, const CodePage& codePage) const {
        if (node.valueLength == 0) return {};
        if (wide_) {
            std::u16string units;
            for (std::size_t at = node.value; at + 2 <= node.end; at += 2) {
                const char16_t unit = *readU16(bytes_, at);
                if (unit == 0) break;
                units.push_back(unit);
            }
            return utf16ToUtf8(units);
        }
        std::string bytes;
        for (std::size_t at = node.value; at < node.end; ++at) {
            const char c = std::to_integer<char>(bytes_[at]);
            if (c == '\0') break;
            bytes.push_back(c);
        }
        return codePage.toUtf8(bytes);
    }

    Bytes bytes() const { return bytes_; }

  private:
    Bytes bytes_;
    bool wide_;
};

std::uint64_t version(Bytes bytes, std::size_t at) {
    return std::uint64_t{*readU32(bytes, at)} << 32 | *readU32(bytes, at + 4);
}

std::string blockName(VersionTranslation translation) {
    char name[9];
    std::snprintf(name, sizeof name, "%04X%04X", translation.language, translation.codePage);
    return name;
}

// The code page of a string block's text ("040904E4": 0x04E4 = 1252), Windows-1252 when it
// is one we do not know.
const CodePage& blockCodePage(const std::string& name) {
    unsigned number = 0;
    if (name.size() == 8 && std::sscanf(name.c_str() + 4, "%4x", &number) == 1) {
        if (const CodePage* page = CodePage::byNumber(number)) return *page;
    }
    return CodePage::windows1252();
}

}  // namespace

Expected<VersionInfo, std::string> VersionInfo::read(const std::filesystem::path& file) {
    auto resource = detail::readExecutableResource(file, kVersionResourceType);
    if (!resource) return unexpected(resource.error());
    return parse(resource->bytes, resource->wide);
}

Expected<VersionInfo, std::string> VersionInfo::parse(Bytes resource, bool wide) {
    const Tree tree(resource, wide);
    const auto root = tree.node(0, resource.size());
    if (!root || root->key != "VS_VERSION_INFO") {
        return unexpected(std::string("corrupt version resource"));
    }
    const Bytes fixed = resource.subspan(root->value, root->valueLength);
    if (fixed.size() < kFixedSize || readU32(fixed, 0) != kFixedSignature) {
        return unexpected(std::string("version resource without fixed information"));
    }
    VersionInfo info;
    info.fixed_.fileVersion = version(fixed, 8);
    info.fixed_.productVersion = version(fixed, 16);
    info.fixed_.fileFlagsMask = *readU32(fixed, 24);
    info.fixed_.fileFlags = *readU32(fixed, 28);
    info.fixed_.fileOs = *readU32(fixed, 32);
    info.fixed_.fileType = *readU32(fixed, 36);
    info.fixed_.fileSubtype = *readU32(fixed, 40);
    info.fixed_.fileDate = version(fixed, 44);

    for (const Node& block : tree.children(*root)) {
        if (block.key == "StringFileInfo") {
            for (const Node& table : tree.children(block)) {
                VersionStringTable strings{table.key, {}};
                const CodePage& codePage = blockCodePage(table.key);
                for (const Node& entry : tree.children(table)) {
                    strings.strings.emplace_back(entry.key, tree.text(entry, codePage));
                }
                info.tables_.push_back(std::move(strings));
            }
        } else if (block.key == "VarFileInfo") {
            for (const Node& var : tree.children(block)) {
                if (var.key != "Translation") continue;
                for (std::size_t at = var.value; at + 4 <= var.value + var.valueLength; at += 4) {
                    info.translations_.push_back(
                        {*readU16(resource, at), *readU16(resource, at + 2)});
                }
            }
        }
    }
    return info;
}

std::optional<std::string> VersionInfo::string(VersionTranslation translation,
                                               std::string_view name) const {
    const std::string block = blockName(translation);
    for (const VersionStringTable& table : tables_) {
        if (!equalsIgnoreAsciiCase(table.name, block)) continue;
        for (const auto& [key, value] : table.strings) {
            if (equalsIgnoreAsciiCase(key, name)) return value;
        }
    }
    return std::nullopt;
}

VersionTranslation VersionInfo::defaultTranslation() const {
    if (!translations_.empty()) return translations_.front();
    return {0x0409, 0x04E4};
}

std::string versionText(std::uint64_t version) {
    char text[32];
    std::snprintf(text, sizeof text, "%d.%02d.%02d.%02d", static_cast<int>(version >> 48 & 0xFFFF),
                  static_cast<int>(version >> 32 & 0xFFFF),
                  static_cast<int>(version >> 16 & 0xFFFF), static_cast<int>(version & 0xFFFF));
    return text;
}

}  // namespace kestrel::platform
