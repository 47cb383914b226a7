#include "copy/TargetSink.h"

namespace kestrel::setup::copy {

bool TargetSink::take(std::span<const std::byte> block) {
    if (auto written = file_.write(block); !written) {
        stop_ = Stop::WriteFailed;
        failure_ = written.error();
        return false;
    }
    written_ += block.size();
    if (markers_) markers_->scan(block);
    meter_.done += block.size();
    progress_.setProgress(meter_.done, meter_.total);
    if (progress_.poll()) {
        stop_ = Stop::Cancelled;
        return false;
    }
    return true;
}

}  // namespace kestrel::setup::copy
