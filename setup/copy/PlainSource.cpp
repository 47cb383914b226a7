#include "copy/PlainSource.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace kestrel::setup::copy {
namespace {

SourceError unreadable(const std::filesystem::path& file, const std::string& why) {
    return {SourceError::Kind::Unreadable, "Cannot read '" + file.string() + "': " + why, file};
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

SourceResult<std::uint64_t> plainFileSize(const std::filesystem::path& file) {
    std::error_code status;
    const auto type = std::filesystem::status(file, status).type();
    if (type == std::filesystem::file_type::not_found)
        return platform::unexpected(
            SourceError{SourceError::Kind::Missing, "'" + file.string() + "' is not there", file});
    if (status) return platform::unexpected(unreadable(file, status.message()));
    if (type == std::filesystem::file_type::directory)
        return platform::unexpected(unreadable(file, "it is a directory, not a file"));
    if (type != std::filesystem::file_type::regular)
        return platform::unexpected(unreadable(file, "it is not a regular file"));
    const auto size = std::filesystem::file_size(file, status);
    if (status) return platform::unexpected(unreadable(file, status.message()));
    return static_cast<std::uint64_t>(size);
}

SourceResult<std::uint64_t> readPlainFile(const std::filesystem::path& file, DataSink& sink) {
    if (auto size = plainFileSize(file); !size) return platform::unexpected(size.error());
    std::unique_ptr<std::FILE, FileCloser> in(std::fopen(file.c_str(), "rb"));
    if (!in) return platform::unexpected(unreadable(file, std::strerror(errno)));

    std::vector<std::byte> block(kCopyBlockSize);
    std::uint64_t passed = 0;
    for (;;) {
        const std::size_t got = std::fread(block.data(), 1, block.size(), in.get());
        if (got == 0) break;
        if (!sink.take(std::span(block.data(), got)))
            return platform::unexpected(SourceError{SourceError::Kind::Interrupted,
                                                    "Reading '" + file.string() + "' was stopped",
                                                    file});
        passed += got;
    }
    if (std::ferror(in.get())) return platform::unexpected(unreadable(file, "read error"));
    return passed;
}

}  // namespace kestrel::setup::copy
