#include "copy/MspackStreams.h"

#include <mspack.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace kestrel::setup::copy {
namespace {

// The output name into() hands to libmspack; compared by address, so no host file name can
// ever be taken for the sink.
const char kSinkName[] = "<data sink>";

}  // namespace

struct MspackStreams::System {
    mspack_system base;  // first: libmspack hands this address back to open()
    DataSink* sink = nullptr;
    bool stopped = false;
    std::uint64_t delivered = 0;
};

namespace {

// What open() gives libmspack: a host file to read, or the sink.
struct StreamFile {
    std::FILE* host = nullptr;
    MspackStreams::System* sink = nullptr;
};

StreamFile* asStream(mspack_file* file) {
    return reinterpret_cast<StreamFile*>(file);
}

mspack_file* openStream(mspack_system* self, const char* name, int mode) {
    auto* system = reinterpret_cast<MspackStreams::System*>(self);
    if (name == kSinkName) {
        if (mode != MSPACK_SYS_OPEN_WRITE || !system->sink) return nullptr;
        return reinterpret_cast<mspack_file*>(new (std::nothrow) StreamFile{nullptr, system});
    }
    // Sources are only ever read.
    if (mode != MSPACK_SYS_OPEN_READ) return nullptr;
    std::FILE* host = std::fopen(name, "rb");
    if (!host) return nullptr;
    auto* stream = new (std::nothrow) StreamFile{host, nullptr};
    if (!stream) std::fclose(host);
    return reinterpret_cast<mspack_file*>(stream);
}

void closeStream(mspack_file* file) {
    auto* stream = asStream(file);
    if (!stream) return;
    if (stream->host) std::fclose(stream->host);
    delete stream;
}

int readStream(mspack_file* file, void* buffer, int bytes) {
    auto* stream = asStream(file);
    if (!stream || !stream->host || bytes < 0) return -1;
    const std::size_t got = std::fread(buffer, 1, static_cast<std::size_t>(bytes), stream->host);
    if (got == 0 && std::ferror(stream->host)) return -1;
    return static_cast<int>(got);
}

int writeStream(mspack_file* file, void* buffer, int bytes) {
    auto* stream = asStream(file);
    if (!stream || !stream->sink || bytes < 0) return -1;
    MspackStreams::System& system = *stream->sink;
    if (system.stopped) return -1;
    const std::span block(static_cast<const std::byte*>(buffer), static_cast<std::size_t>(bytes));
    if (!system.sink->take(block)) {
        system.stopped = true;
        return -1;
    }
    system.delivered += static_cast<std::uint64_t>(bytes);
    return bytes;
}

int seekStream(mspack_file* file, off_t offset, int mode) {
    auto* stream = asStream(file);
    if (!stream || !stream->host) return -1;
    const int whence = mode == MSPACK_SYS_SEEK_START ? SEEK_SET
                       : mode == MSPACK_SYS_SEEK_CUR ? SEEK_CUR
                                                     : SEEK_END;
    return fseeko(stream->host, offset, whence) == 0 ? 0 : -1;
}

off_t tellStream(mspack_file* file) {
    auto* stream = asStream(file);
    if (!stream || !stream->host) return -1;
    return ftello(stream->host);
}

// libmspack's warnings carry no more than its error codes, which the callers describe.
void ignoreMessage(mspack_file*, const char*, ...) {}

void* allocate(mspack_system*, std::size_t bytes) {
    return std::malloc(bytes);
}

void release(void* memory) {
    std::free(memory);
}

void copyBytes(void* from, void* to, std::size_t bytes) {
    std::memmove(to, from, bytes);
}

}  // namespace

MspackStreams::MspackStreams() : system_(std::make_unique<System>()) {
    system_->base = mspack_system{&openStream, &closeStream, &readStream,    &writeStream,
                                  &seekStream, &tellStream,  &ignoreMessage, &allocate,
                                  &release,    &copyBytes,   nullptr};
}

MspackStreams::~MspackStreams() = default;

mspack_system* MspackStreams::system() {
    return &system_->base;
}

int MspackStreams::into(DataSink& sink, const std::function<int(const char* output)>& decompress) {
    system_->sink = &sink;
    system_->stopped = false;
    system_->delivered = 0;
    const int code = decompress(kSinkName);
    system_->sink = nullptr;
    return code;
}

bool MspackStreams::sinkStopped() const {
    return system_->stopped;
}

std::uint64_t MspackStreams::delivered() const {
    return system_->delivered;
}

}  // namespace kestrel::setup::copy
