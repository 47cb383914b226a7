#include "copy/SourceError.h"

#include <mspack.h>

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
            return "bad data format (the file is corrupt or its cabinet set incomplete)";
        case MSPACK_ERR_CHECKSUM:
            return "checksum mismatch (the file is corrupt)";
        case MSPACK_ERR_CRUNCH:
            return "compression error";
        case MSPACK_ERR_DECRUNCH:
            return "decompression error (the file is corrupt or its cabinet set incomplete)";
        default:
            return "unknown error " + std::to_string(code);
    }
}

SourceError decompressionFailed(int code, bool sinkStopped, const std::filesystem::path& file,
                                const std::string& what) {
    if (sinkStopped)
        return {SourceError::Kind::Interrupted, "Reading " + what + " was stopped", file};
    return {SourceError::Kind::Unreadable, what + ": " + describeMspackError(code), file};
}

}  // namespace kestrel::setup::copy
