#include <algorithm>
#include <optional>
#include <string>

#include "ShellLinkFormat.h"
#include "platform/AtomicFile.h"
#include "platform/CodePage.h"
#include "platform/ShellLink.h"
#include "platform/WideText.h"

namespace kestrel::platform {

namespace {

using namespace shelllink;

// Links are small; anything bigger is not one, and is not read into memory.
constexpr std::uintmax_t kMaximumFileSize = 4 * 1024 * 1024;

// A window onto the file's bytes; every read is checked against the window's end.
class ByteView {
  public:
    ByteView(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t size() const { return size_; }
    std::optional<std::uint16_t> u16(std::size_t offset) const {
        if (!has(offset, 2)) return std::nullopt;
        return static_cast<std::uint16_t>(data_[offset] | data_[offset + 1] << 8);
    }
    std::optional<std::uint32_t> u32(std::size_t offset) const {
        const auto low = u16(offset);
        const auto high = u16(offset + 2);
        if (!low || !high) return std::nullopt;
        return static_cast<std::uint32_t>(*low | std::uint32_t{*high} << 16);
    }
    std::optional<ByteView> sub(std::size_t offset, std::size_t length) const {
        if (!has(offset, length)) return std::nullopt;
        return ByteView(data_ + offset, length);
    }
    bool equals(std::size_t offset, const std::uint8_t* bytes, std::size_t length) const {
        return has(offset, length) && std::equal(bytes, bytes + length, data_ + offset);
    }
    // A NUL-terminated single-byte string starting at `offset`, converted to UTF-8.
    std::optional<std::string> ansiz(std::size_t offset) const {
        if (offset >= size_) return std::nullopt;
        const auto* begin = data_ + offset;
        const auto* end = std::find(begin, data_ + size_, 0);
        if (end == data_ + size_) return std::nullopt;
        return CodePage::latin1().toUtf8(std::string(begin, end));
    }
    // A NUL-terminated UTF-16LE string starting at `offset`, converted to UTF-8.
    std::optional<std::string> utf16z(std::size_t offset) const {
        std::u16string text;
        for (;; offset += 2) {
            const auto unit = u16(offset);
            if (!unit) return std::nullopt;
            if (*unit == 0) break;
            text += static_cast<char16_t>(*unit);
        }
        return utf16ToUtf8(text);
    }
    // `units` UTF-16 code units at `offset`; the caller has checked that they lie inside.
    std::string utf16(std::size_t offset, std::size_t units) const {
        return utf16ToUtf8(bytesToUtf16(
            std::string_view(reinterpret_cast<const char*>(data_ + offset), 2 * units)));
    }
    std::string ansi(std::size_t offset, std::size_t length) const {
        return CodePage::latin1().toUtf8(std::string(data_ + offset, data_ + offset + length));
    }

  private:
    bool has(std::size_t offset, std::size_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }

    const std::uint8_t* data_;
    std::size_t size_;
};

// A string at an offset stored in the block at `field`; an offset of 0 means none.
std::optional<std::string> stringAt(const ByteView& block, std::size_t field, bool wide) {
    const auto offset = block.u32(field);
    if (!offset) return std::nullopt;
    if (*offset == 0) return std::string();
    return wide ? block.utf16z(*offset) : block.ansiz(*offset);
}

// A text stored twice, single-byte and (when `hasWide`) UTF-16; the UTF-16 copy is the exact
// one. Both must lie inside the block.
std::optional<std::string> dualString(const ByteView& block, std::size_t ansiField,
                                      std::size_t wideField, bool hasWide) {
    auto ansi = stringAt(block, ansiField, false);
    if (!ansi || !hasWide) return ansi;
    auto wide = stringAt(block, wideField, true);
    if (!wide) return std::nullopt;
    return wide->empty() ? ansi : wide;
}

// "\\server\share" of a network target.
std::optional<std::string> networkName(const ByteView& info, std::uint32_t offset) {
    const auto size = info.u32(offset);
    if (!size || *size < kNetworkLinkMinimumSize) return std::nullopt;
    const auto block = info.sub(offset, *size);
    if (!block) return std::nullopt;
    // A name placed behind a larger header has a UTF-16 copy.
    const auto netNameOffset = block->u32(8);
    return dualString(*block, 8, 0x14, netNameOffset > kNetworkLinkMinimumSize);
}

// Base path and suffix joined as Windows joins them, in UTF-16: a character whose surrogate
// pair the two parts split is whole again, as it is when the link is written back.
std::string joinPath(const std::string& base, const std::string& suffix) {
    return utf16ToUtf8(utf8ToUtf16(base) + utf8ToUtf16(suffix));
}

// The target path the link information describes: base path and common path suffix.
std::optional<std::string> linkInfoTarget(const ByteView& info) {
    const auto headerSize = info.u32(4);
    const auto flags = info.u32(8);
    if (!headerSize || !flags || *headerSize < kLinkInfoHeaderSize || *headerSize > info.size()) {
        return std::nullopt;
    }
    const bool hasWide = *headerSize >= kLinkInfoUnicodeHeaderSize;
    const auto suffix = [&] { return dualString(info, 0x18, 0x20, hasWide); };

    if (*flags & kVolumeIdAndLocalBasePath) {
        const auto base = dualString(info, 0x10, 0x1C, hasWide);
        const auto tail = suffix();
        if (!base || !tail) return std::nullopt;
        return joinPath(*base, *tail);
    }
    if (*flags & kCommonNetworkRelativeLinkAndPathSuffix) {
        const auto networkOffset = info.u32(0x14);
        if (!networkOffset) return std::nullopt;
        const auto share = networkName(info, *networkOffset);
        const auto tail = suffix();
        if (!share || !tail) return std::nullopt;
        return tail->empty() ? *share : *share + "\\" + *tail;
    }
    return std::string();
}

ShowCommand showCommandOf(std::uint32_t value) {
    // Every other value means a normal window.
    switch (value) {
        case static_cast<std::uint32_t>(ShowCommand::Maximized):
            return ShowCommand::Maximized;
        case static_cast<std::uint32_t>(ShowCommand::MinimizedNoActive):
            return ShowCommand::MinimizedNoActive;
        default:
            return ShowCommand::Normal;
    }
}

}  // namespace

std::optional<ShellLink> decodeShellLink(const std::vector<std::uint8_t>& bytes) {
    const ByteView file(bytes.data(), bytes.size());
    if (file.u32(0) != kHeaderSize || !file.equals(4, kLinkClsid.data(), kLinkClsid.size()) ||
        file.size() < kHeaderSize) {
        return std::nullopt;
    }
    const std::uint32_t flags = *file.u32(kFlagsOffset);
    ShellLink link;
    link.iconIndex = static_cast<std::int32_t>(*file.u32(kIconIndexOffset));
    link.showCommand = showCommandOf(*file.u32(kShowCommandOffset));
    link.hotKey = *file.u16(kHotKeyOffset);

    std::size_t pos = kHeaderSize;
    if (flags & HasLinkTargetIdList) {
        const auto idListSize = file.u16(pos);
        if (!idListSize || !file.sub(pos + 2, *idListSize)) return std::nullopt;
        pos += 2 + *idListSize;
    }
    if (flags & HasLinkInfo) {
        const auto size = file.u32(pos);
        if (!size || *size < kLinkInfoHeaderSize) return std::nullopt;
        const auto info = file.sub(pos, *size);
        if (!info) return std::nullopt;
        const auto target = linkInfoTarget(*info);
        if (!target) return std::nullopt;
        if (!(flags & ForceNoLinkInfo)) link.target = *target;
        pos += *size;
    }

    const bool wide = flags & IsUnicode;
    std::string relativePath;  // read to keep the order, not part of ShellLink
    const std::pair<LinkFlag, std::string*> texts[] = {
        {HasName, &link.description},
        {HasRelativePath, &relativePath},
        {HasWorkingDir, &link.workingDirectory},
        {HasArguments, &link.arguments},
        {HasIconLocation, &link.iconLocation},
    };
    for (const auto& [flag, text] : texts) {
        if (!(flags & flag)) continue;
        const auto count = file.u16(pos);
        const std::size_t length = count ? (wide ? 2u : 1u) * *count : 0;
        if (!count || !file.sub(pos + 2, length)) return std::nullopt;
        *text = wide ? file.utf16(pos + 2, *count) : file.ansi(pos + 2, *count);
        pos += 2 + length;
    }
    return link;
}

std::optional<ShellLink> readShellLink(const std::filesystem::path& file) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error || size > kMaximumFileSize) return std::nullopt;
    const std::optional<std::string> content = readWholeFile(file);
    if (!content) return std::nullopt;
    return decodeShellLink(std::vector<std::uint8_t>(content->begin(), content->end()));
}

}  // namespace kestrel::platform
