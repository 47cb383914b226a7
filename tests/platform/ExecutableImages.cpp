#include "ExecutableImages.h"

namespace kestrel::test {
namespace {

void put16(ByteString& out, std::size_t at, std::uint32_t value) {
    if (out.size() < at + 2) out.resize(at + 2);
    out[at] = std::byte(value & 0xFF);
    out[at + 1] = std::byte(value >> 8 & 0xFF);
}

void put32(ByteString& out, std::size_t at, std::uint32_t value) {
    put16(out, at, value & 0xFFFF);
    put16(out, at + 2, value >> 16);
}

void pad4(ByteString& out) {
    out.resize((out.size() + 3) & ~std::size_t{3});
}

void append(ByteString& out, const ByteString& more) {
    out.insert(out.end(), more.begin(), more.end());
}

// `size` bytes that start as an MS-DOS stub pointing to a header with that signature.
ByteString stub(std::size_t size, std::size_t header, char first, char second) {
    ByteString out(size);
    out[0] = std::byte{'M'};
    out[1] = std::byte{'Z'};
    put32(out, 0x3C, static_cast<std::uint32_t>(header));
    out[header] = std::byte(first);
    out[header + 1] = std::byte(second);
    return out;
}

}  // namespace

ByteString versionText(const std::string& text, bool wide) {
    ByteString out;
    for (char c : text + '\0') {
        out.push_back(std::byte(static_cast<unsigned char>(c)));
        if (wide) out.push_back(std::byte{0});
    }
    return out;
}

ByteString versionNode(const std::string& key, const ByteString& value, bool text,
                       const std::vector<ByteString>& children, bool wide) {
    ByteString out(wide ? 6 : 4);
    append(out, versionText(key, wide));
    pad4(out);
    append(out, value);
    for (const ByteString& child : children) {
        pad4(out);
        append(out, child);
    }
    put16(out, 0, static_cast<std::uint32_t>(out.size()));
    put16(out, 2, static_cast<std::uint32_t>(text && wide ? value.size() / 2 : value.size()));
    if (wide) put16(out, 4, text ? 1 : 0);
    return out;
}

ByteString fixedFileInfo(std::uint64_t fileVersion, std::uint32_t fileOs) {
    ByteString out(52);
    put32(out, 0, 0xFEEF04BD);
    put32(out, 4, 0x10000);
    put32(out, 8, static_cast<std::uint32_t>(fileVersion >> 32));
    put32(out, 12, static_cast<std::uint32_t>(fileVersion));
    put32(out, 32, fileOs);
    put32(out, 36, 2);
    return out;
}

ByteString portableExecutable(const ByteString& resource, bool pe64) {
    constexpr std::size_t header = 0x40;
    const std::size_t optionalSize = pe64 ? 240 : 224;
    const std::size_t sectionTable = header + 24 + optionalSize;
    constexpr std::size_t raw = 0x200;
    constexpr std::uint32_t address = 0x1000;

    ByteString out = stub(raw, header, 'P', 'E');
    put16(out, header + 4, pe64 ? 0x8664 : 0x14C);
    put16(out, header + 6, 1);
    put16(out, header + 20, static_cast<std::uint32_t>(optionalSize));
    const std::size_t optional = header + 24;
    put16(out, optional, pe64 ? 0x20B : 0x10B);
    const std::size_t directories = optional + (pe64 ? 112 : 96);
    put32(out, directories - 4, 16);

    // Directory (type) -> directory (name) -> directory (language) -> data entry -> data.
    ByteString tree;
    auto directory = [&](std::uint32_t id, std::uint32_t target) {
        const std::size_t at = tree.size();
        tree.resize(at + 24);
        put16(tree, at + 14, 1);
        put32(tree, at + 16, id);
        put32(tree, at + 20, target);
    };
    directory(16, 0x80000000 | 24);
    directory(1, 0x80000000 | 48);
    directory(0x409, 72);
    put32(tree, 72, static_cast<std::uint32_t>(address + 88));
    put32(tree, 76, static_cast<std::uint32_t>(resource.size()));
    tree.resize(88);
    append(tree, resource);
    pad4(tree);

    put32(out, directories + 16, address);
    put32(out, directories + 20, 88);
    out[sectionTable] = std::byte{'.'};
    put32(out, sectionTable + 8, static_cast<std::uint32_t>(tree.size()));
    put32(out, sectionTable + 12, address);
    put32(out, sectionTable + 16, static_cast<std::uint32_t>(tree.size()));
    put32(out, sectionTable + 20, raw);
    append(out, tree);
    return out;
}

ByteString newExecutable(const ByteString& resource) {
    constexpr std::size_t header = 0x40;
    constexpr std::size_t table = 0x40;  // from the NE header
    constexpr std::size_t data = 0x100;
    ByteString out = stub(data, header, 'N', 'E');
    put16(out, header + 0x24, table);
    put16(out, header + table, 4);  // 16-byte units
    put16(out, header + table + 2, 0x8010);
    put16(out, header + table + 4, 1);
    put16(out, header + table + 10, data >> 4);
    put16(out, header + table + 12, static_cast<std::uint32_t>((resource.size() + 15) >> 4));
    put16(out, header + table + 16, 0x8001);
    put16(out, header + table + 22, 0);  // end of the types
    put16(out, header + 0x26, table + 24);
    append(out, resource);
    out.resize(data + ((resource.size() + 15) & ~std::size_t{15}));
    return out;
}

}  // namespace kestrel::test
