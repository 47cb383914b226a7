#pragma once

#include "copy/CabinetSet.h"
#include "copy/CopyServices.h"

namespace kestrel::setup::copy {

// The product's sources as the copy engine asks for them: the file in the source directory
// when it is there (read through LZ expansion where that is allowed and called for), else the
// member of its disk's cabinet set.
class ProductSources : public SourceReader {
  public:
    // Paths of this length and longer are read as plain files even where LZ expansion is
    // allowed, unless the file is smaller than expected.
    static constexpr std::size_t kLzPathLimit = 124;

    explicit ProductSources(CabinetSet& cabinets) : cabinets_(cabinets) {}

    [[nodiscard]] SourceResult<SourceFacts> find(const SourceRequest& request) override;
    [[nodiscard]] SourceResult<SourceFacts> read(const SourceRequest& request,
                                                 DataSink& sink) override;

  private:
    CabinetSet& cabinets_;
};

}  // namespace kestrel::setup::copy
