#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "copy/DataSink.h"

struct mspack_system;

namespace kestrel::setup::copy {

// libmspack's file layer for the copy engine: inputs are the host's files, and the one output
// a decompressor is told to write is a DataSink, so that expanded data reach the engine block
// by block as they are decompressed, with no file in between. The layer writes no host file.
class MspackStreams {
  public:
    MspackStreams();
    ~MspackStreams();
    MspackStreams(const MspackStreams&) = delete;
    MspackStreams& operator=(const MspackStreams&) = delete;

    // What libmspack's constructors take; it stays valid while this object lives.
    mspack_system* system();

    // Runs `decompress` (a libmspack call given the output name it is handed) with `sink` as
    // that output, and returns the call's error code.
    int into(DataSink& sink, const std::function<int(const char* output)>& decompress);
    // After into(): whether the sink stopped the data, and how many bytes it took.
    bool sinkStopped() const;
    std::uint64_t delivered() const;

    struct System;

  private:
    std::unique_ptr<System> system_;
};

}  // namespace kestrel::setup::copy
