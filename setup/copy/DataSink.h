#pragma once

#include <cstddef>
#include <span>

namespace kestrel::setup::copy {

// Where a source's data go, block by block, as they are read or expanded: the copy engine's
// target, which writes them, advances the progress meter and lets the person cancel.
class DataSink {
  public:
    virtual ~DataSink() = default;
    // false stops the source (Cancel, or the target could not be written); the source then
    // fails with SourceError::Kind::Interrupted and the sink knows why.
    [[nodiscard]] virtual bool take(std::span<const std::byte> block) = 0;
};

}  // namespace kestrel::setup::copy
