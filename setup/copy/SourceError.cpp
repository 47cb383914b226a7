#include "copy/SourceError.h"

#include <mspack.h>
#include <unistd.h>

#include <system_error>

namespace kestrel::setup::copy {

std::string describeMspackError(int code) {
    switch (code) {
        case MSPACK_ERR_OK:
            return "no error";
        case MSPACK_ERR_ARGS:
            return "bad arguments";
        case MSPACK_ERR_OPEN:
            return "cannot be opened";
        case MSPACK_ERR_READ:
            return "read error (the file may be truncated)";
        case MSPACK_ERR_WRITE:
            return "write error";
        case MSPACK_ERR_SEEK:
            return "seek error (the file may be truncated)";
        case MSPACK_ERR_NOMEMORY:
            return "out of memory";
        case MSPACK_ERR_SIGNATURE:
            return "bad signature (not a file of this format)";
        case MSPACK_ERR_DATAFORMAT:
            return "bad data format (the file is corrupt)";
        case MSPACK_ERR_CHECKSUM:
            return "checksum mismatch (the file is corrupt)";
        case MSPACK_ERR_CRUNCH:
            return "compression error";
        case MSPACK_ERR_DECRUNCH:
            return "decompression error (the file is corrupt)";
        default:
            return "unknown error " + std::to_string(code);
    }
}

SourceResult<void> writeThroughTemporary(const std::filesystem::path& target,
                                         const std::string& source,
                                         const std::function<int(const char*)>& write) {
    namespace fs = std::filesystem;
    fs::path temporary = target;
    temporary += ".part" + std::to_string(::getpid());

    const int code = write(temporary.c_str());
    std::error_code ignored;
    if (code != MSPACK_ERR_OK) {
        fs::remove(temporary, ignored);
        const auto kind = code == MSPACK_ERR_WRITE || code == MSPACK_ERR_OPEN
                              ? SourceError::Kind::Unwritable
                              : SourceError::Kind::Unreadable;
        const std::string what = kind == SourceError::Kind::Unwritable
                                     ? "cannot write '" + target.string() + "' from '" + source +
                                           "': " + describeMspackError(code)
                                     : "'" + source + "': " + describeMspackError(code);
        return platform::unexpected(SourceError{kind, what});
    }
    std::error_code renamed;
    fs::rename(temporary, target, renamed);
    if (renamed) {
        fs::remove(temporary, ignored);
        return platform::unexpected(
            SourceError{SourceError::Kind::Unwritable,
                        "cannot write '" + target.string() + "': " + renamed.message()});
    }
    return {};
}

}  // namespace kestrel::setup::copy
