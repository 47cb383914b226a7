#include <limits>
#include <string>
#include <utility>

#include "ShellLinkFormat.h"
#include "platform/AtomicFile.h"
#include "platform/CodePage.h"
#include "platform/ShellLink.h"
#include "platform/WideText.h"

namespace kestrel::platform {

namespace {

using namespace shelllink;

class ByteWriter {
  public:
    void u8(std::uint8_t value) { bytes_.push_back(value); }
    void u16(std::uint16_t value) {
        u8(static_cast<std::uint8_t>(value));
        u8(static_cast<std::uint8_t>(value >> 8));
    }
    void u32(std::uint32_t value) {
        u16(static_cast<std::uint16_t>(value));
        u16(static_cast<std::uint16_t>(value >> 16));
    }
    void zeros(std::size_t count) { bytes_.insert(bytes_.end(), count, 0); }
    void ansiz(const std::string& text) {
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        u8(0);
    }
    void utf16(const std::u16string& text) {
        for (const char16_t unit : text) u16(unit);
    }
    std::vector<std::uint8_t> take() { return std::move(bytes_); }

  private:
    std::vector<std::uint8_t> bytes_;
};

// The target as a local base path; the volume is described as a fixed drive without label.
// The UTF-16 copy keeps characters the single-byte path has to replace with '?'.
void writeLinkInfo(ByteWriter& out, const std::string& target) {
    const std::string ansi = CodePage::latin1().fromUtf8(target);
    const std::u16string wide = utf8ToUtf16(target);
    const auto volumeOffset = kLinkInfoUnicodeHeaderSize;
    const std::uint32_t basePathOffset = volumeOffset + kVolumeIdSize;
    const auto suffixOffset = static_cast<std::uint32_t>(basePathOffset + ansi.size() + 1);
    const std::uint32_t wideBasePathOffset = suffixOffset + 1;
    const auto wideSuffixOffset =
        static_cast<std::uint32_t>(wideBasePathOffset + 2 * (wide.size() + 1));
    const std::uint32_t size = wideSuffixOffset + 2;

    out.u32(size);
    out.u32(kLinkInfoUnicodeHeaderSize);
    out.u32(kVolumeIdAndLocalBasePath);
    out.u32(volumeOffset);
    out.u32(basePathOffset);
    out.u32(0);  // no network link
    out.u32(suffixOffset);
    out.u32(wideBasePathOffset);
    out.u32(wideSuffixOffset);

    out.u32(kVolumeIdSize);
    out.u32(kDriveFixed);
    out.u32(0);  // serial number
    out.u32(kVolumeLabelOffset);
    out.u8(0);  // empty label

    out.ansiz(ansi);
    out.u8(0);  // empty common path suffix
    out.utf16(wide);
    out.u16(0);
    out.u16(0);  // empty common path suffix
}

bool fitsCountedString(const std::u16string& text) {
    return text.size() <= std::numeric_limits<std::uint16_t>::max();
}

}  // namespace

std::vector<std::uint8_t> encodeShellLink(const ShellLink& link) {
    if (link.target.find('\0') != std::string::npos) return {};
    // String data in the order of the format; flags say which are present.
    const std::pair<LinkFlag, const std::string*> texts[] = {
        {HasName, &link.description},
        {HasWorkingDir, &link.workingDirectory},
        {HasArguments, &link.arguments},
        {HasIconLocation, &link.iconLocation},
    };
    std::uint32_t flags = IsUnicode;
    if (!link.target.empty()) flags |= HasLinkInfo;
    std::vector<std::u16string> strings;
    for (const auto& [flag, text] : texts) {
        if (text->empty()) continue;
        flags |= flag;
        strings.push_back(utf8ToUtf16(*text));
        if (!fitsCountedString(strings.back())) return {};
    }

    ByteWriter out;
    out.u32(kHeaderSize);
    for (const std::uint8_t b : kLinkClsid) out.u8(b);
    out.u32(flags);
    out.u32(kFileAttributeArchive);
    out.zeros(3 * 8);  // creation, access and write times unset
    out.u32(0);        // target size
    out.u32(static_cast<std::uint32_t>(link.iconIndex));
    out.u32(static_cast<std::uint32_t>(link.showCommand));
    out.u16(link.hotKey);
    out.zeros(10);

    if (flags & HasLinkInfo) writeLinkInfo(out, link.target);
    for (const std::u16string& text : strings) {
        out.u16(static_cast<std::uint16_t>(text.size()));
        out.utf16(text);
    }
    out.u32(0);  // terminal extra data block
    return out.take();
}

std::error_code writeShellLink(const std::filesystem::path& file, const ShellLink& link,
                               std::optional<std::filesystem::perms> newFilePermissions) {
    const std::vector<std::uint8_t> bytes = encodeShellLink(link);
    if (bytes.empty()) return std::make_error_code(std::errc::value_too_large);
    return writeFileAtomically(
        file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
        newFilePermissions);
}

}  // namespace kestrel::platform
