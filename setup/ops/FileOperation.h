#pragma once

#include <cstdint>
#include <vector>

#include "copy/FileCopier.h"
#include "copy/FileLine.h"
#include "ops/Operation.h"

namespace kestrel::setup {

// Whether the include lines that led to a line (their flags, outermost first) let it be
// used in this run, installing or not.
bool includesApply(OperationContext& context, Direction direction,
                   const std::vector<LineFlags>& includes);

// A file line of a file section, read once: its source without the prefix, its destination
// with variables expanded, its flags with those the engine adds. Whether it applies is
// decided when it runs (installation and uninstallation skip different lines), also against
// the flags of the include lines it was reached through.
class FileOperation : public Operation {
  public:
    FileOperation(copy::FileCopier& copier, FileLine line, std::vector<LineFlags> includes)
        : copier_(copier), line_(std::move(line)), includes_(std::move(includes)) {}

    bool install(OperationContext& context) override;
    bool uninstall(OperationContext& context) override;

    const FileLine& line() const { return line_; }
    // Whether the line is used in this run, installing or not.
    bool applies(OperationContext& context, Direction direction) const;

  private:
    copy::CopyRequest request(OperationContext& context) const;

    copy::FileCopier& copier_;
    FileLine line_;
    std::vector<LineFlags> includes_;
};

}  // namespace kestrel::setup
