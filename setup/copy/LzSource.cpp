#include "copy/LzSource.h"

#include <mspack.h>

#include <algorithm>
#include <array>
#include <fstream>

#include "copy/MspackStreams.h"
#include "copy/PlainSource.h"

namespace kestrel::setup::copy {
namespace {

// The signature Windows' LZ functions recognise; anything else is read as it stands.
constexpr std::array<unsigned char, 8> kSzddSignature = {'S',  'Z',  'D',  'D',
                                                         0x88, 0xF0, 0x27, 0x33};

bool hasSzddSignature(const std::filesystem::path& source) {
    std::ifstream in(source, std::ios::binary);
    std::array<char, kSzddSignature.size()> head{};
    if (!in.read(head.data(), head.size())) return false;
    return std::ranges::equal(head, kSzddSignature, [](char got, unsigned char want) {
        return static_cast<unsigned char>(got) == want;
    });
}

SourceError unreadable(const std::filesystem::path& source, const std::string& why) {
    return {SourceError::Kind::Unreadable, "Compressed file '" + source.string() + "': " + why,
            source};
}

// One compressed file opened through libmspack's expander, streaming into sinks.
class SzddReader {
  public:
    explicit SzddReader(const std::filesystem::path& source)
        : source_(source), decompressor_(mspack_create_szdd_decompressor(streams_.system())) {}
    ~SzddReader() {
        if (!decompressor_) return;
        if (header_) decompressor_->close(decompressor_, header_);
        mspack_destroy_szdd_decompressor(decompressor_);
    }
    SzddReader(const SzddReader&) = delete;
    SzddReader& operator=(const SzddReader&) = delete;

    SourceResult<LzExpansion> open() {
        if (!decompressor_)
            return platform::unexpected(unreadable(source_, "the expander cannot start"));
        header_ = decompressor_->open(decompressor_, path_.c_str());
        if (!header_)
            return platform::unexpected(
                unreadable(source_, describeMspackError(decompressor_->last_error(decompressor_))));
        LzExpansion expansion;
        expansion.compressed = true;
        expansion.length = static_cast<std::uint64_t>(header_->length);
        if (header_->missing_char != '\0') expansion.missingChar = header_->missing_char;
        return expansion;
    }

    SourceResult<void> expandInto(DataSink& sink) {
        const int code = streams_.into(sink, [&](const char* output) {
            return decompressor_->extract(decompressor_, header_, output);
        });
        if (code != MSPACK_ERR_OK)
            return platform::unexpected(decompressionFailed(code, streams_.sinkStopped(), source_,
                                                            "compressed file '" + path_ + "'"));
        // The expander stops quietly where a cut-off file ends; only the size recorded in
        // the header tells that content is missing.
        if (streams_.delivered() != static_cast<std::uint64_t>(header_->length))
            return platform::unexpected(unreadable(
                source_, "the file is truncated (" + std::to_string(streams_.delivered()) + " of " +
                             std::to_string(header_->length) + " bytes)"));
        return {};
    }

  private:
    std::filesystem::path source_;
    std::string path_ = source_.string();  // libmspack keeps no copy of the name
    MspackStreams streams_;
    msszdd_decompressor* decompressor_;
    msszddd_header* header_ = nullptr;
};

}  // namespace

SourceResult<LzExpansion> inspectLzFile(const std::filesystem::path& source) {
    auto size = plainFileSize(source);
    if (!size) return platform::unexpected(size.error());
    if (!hasSzddSignature(source)) return LzExpansion{false, *size, std::nullopt};
    SzddReader reader(source);
    return reader.open();
}

SourceResult<LzExpansion> readLzFile(const std::filesystem::path& source, DataSink& sink) {
    auto size = plainFileSize(source);
    if (!size) return platform::unexpected(size.error());
    if (!hasSzddSignature(source)) {
        auto passed = readPlainFile(source, sink);
        if (!passed) return platform::unexpected(passed.error());
        return LzExpansion{false, *passed, std::nullopt};
    }
    SzddReader reader(source);
    auto expansion = reader.open();
    if (!expansion) return expansion;
    if (auto expanded = reader.expandInto(sink); !expanded)
        return platform::unexpected(expanded.error());
    return expansion;
}

std::string lzOriginalName(std::string_view compressedName, std::optional<char> missingChar) {
    std::string name(compressedName);
    if (missingChar && !name.empty() && name.back() == '_') name.back() = *missingChar;
    return name;
}

}  // namespace kestrel::setup::copy
