#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Windows executables made byte by byte around a given version resource, for the formats
// the cross compiler does not make (64-bit PE, 16-bit NE) and for damaged files.
namespace kestrel::test {

using ByteString = std::vector<std::byte>;

// A version-tree node: length, value length, (wide form) type, key, value, children, each
// on a 4-byte boundary.
ByteString versionNode(const std::string& key, const ByteString& value, bool text,
                       const std::vector<ByteString>& children, bool wide);
// The UTF-16 (wide) or single-byte text of a string value, zero-terminated.
ByteString versionText(const std::string& text, bool wide);
// VS_FIXEDFILEINFO with that file version and file OS.
ByteString fixedFileInfo(std::uint64_t fileVersion, std::uint32_t fileOs);

// A PE32 (or, with `pe64`, PE32+) image with one section holding the resource tree
// type 16 / id 1 / language 0x409 -> `resource`.
ByteString portableExecutable(const ByteString& resource, bool pe64);
// A 16-bit NE image whose resource table holds `resource` as type 0x8010.
ByteString newExecutable(const ByteString& resource);

}  // namespace kestrel::test
