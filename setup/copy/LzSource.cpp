#include "copy/LzSource.h"

#include <mspack.h>

#include <memory>

namespace kestrel::setup::copy {
namespace {

struct SzddReader {
    msszdd_decompressor* decompressor = mspack_create_szdd_decompressor(nullptr);
    msszddd_header* header = nullptr;
    ~SzddReader() {
        if (!decompressor) return;
        if (header) decompressor->close(decompressor, header);
        mspack_destroy_szdd_decompressor(decompressor);
    }
};

SourceError unreadable(const std::filesystem::path& source, const std::string& why) {
    return {SourceError::Kind::Unreadable, "Compressed file '" + source.string() + "': " + why};
}

}  // namespace

SourceResult<LzExpansion> expandLzFile(const std::filesystem::path& source,
                                       const std::filesystem::path& target) {
    std::error_code status;
    if (!std::filesystem::is_regular_file(source, status))
        return platform::unexpected(SourceError{
            SourceError::Kind::Missing, "Compressed file '" + source.string() + "' is not there"});

    SzddReader reader;
    if (!reader.decompressor)
        return platform::unexpected(unreadable(source, "the expander cannot start"));
    reader.header = reader.decompressor->open(reader.decompressor, source.c_str());
    if (!reader.header)
        return platform::unexpected(unreadable(
            source, describeMspackError(reader.decompressor->last_error(reader.decompressor))));

    auto written = writeThroughTemporary(target, source.string(), [&](const char* path) {
        const int code = reader.decompressor->extract(reader.decompressor, reader.header, path);
        if (code != MSPACK_ERR_OK) return code;
        // The expander stops quietly where a cut-off file ends; only the size recorded in the
        // header tells that content is missing.
        std::error_code sized;
        const auto size = std::filesystem::file_size(path, sized);
        return !sized && size == static_cast<std::uintmax_t>(reader.header->length)
                   ? MSPACK_ERR_OK
                   : MSPACK_ERR_READ;
    });
    if (!written) return platform::unexpected(written.error());

    LzExpansion expansion;
    expansion.length = static_cast<std::uint32_t>(reader.header->length);
    if (reader.header->missing_char != '\0') expansion.missingChar = reader.header->missing_char;
    return expansion;
}

std::string lzOriginalName(std::string_view compressedName, std::optional<char> missingChar) {
    std::string name(compressedName);
    if (missingChar && !name.empty() && name.back() == '_') name.back() = *missingChar;
    return name;
}

}  // namespace kestrel::setup::copy
