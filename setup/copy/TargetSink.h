#pragma once

#include <cstdint>
#include <string>

#include "copy/DataSink.h"
#include "copy/OutputFile.h"
#include "copy/UserInfoMarkers.h"
#include "wizard/ProgressWindow.h"

namespace kestrel::setup::copy {

// The progress meter of a run: its range is the total of the expected sizes.
struct CopyMeter {
    std::uint64_t done = 0;
    std::uint64_t total = 0;
};

// Where a source's data go: the target file, the meter advanced by every block, the progress
// window asked after each block whether the person cancelled, and the user-information
// markers looked for on the way.
class TargetSink : public DataSink {
  public:
    enum class Stop { None, Cancelled, WriteFailed };

    TargetSink(OutputFile& file, ProgressWindow& progress, CopyMeter& meter,
               UserInfoMarkers* markers)
        : file_(file), progress_(progress), meter_(meter), markers_(markers) {}

    [[nodiscard]] bool take(std::span<const std::byte> block) override;

    std::uint64_t written() const { return written_; }
    Stop stop() const { return stop_; }
    // Why a write failed.
    const std::string& failure() const { return failure_; }

  private:
    OutputFile& file_;
    ProgressWindow& progress_;
    CopyMeter& meter_;
    UserInfoMarkers* markers_;
    std::uint64_t written_ = 0;
    Stop stop_ = Stop::None;
    std::string failure_;
};

}  // namespace kestrel::setup::copy
