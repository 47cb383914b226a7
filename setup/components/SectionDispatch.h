#pragma once

#include <functional>
#include <map>
#include <string_view>

#include "components/WorkSection.h"
#include "ops/FileSection.h"
#include "ops/LinkServices.h"
#include "ops/OperationContext.h"
#include "plan/SectionReader.h"

namespace kestrel::setup {

// Does (or undoes) one section; false when it failed.
using SectionProcessor = std::function<bool(std::string_view section, Direction direction)>;

// The one way from a work section to its work: a table from the kind its name gives to the
// kind's reading (plan/SectionReader.h), and runSection for what the reading gives. Registry,
// INI, CONFIG.SYS and batch-file sections, program groups and shell links, and plain sections
// (file lines, includes, commands) through the file section reader are in the table from the
// start; ODBC, TCP/IP-file and security sections come with the readings given for them. A
// section of a kind without one fails, said with 5529, rather than being passed over as if it
// had been done. The file section reader hands it the sections of other kinds that file
// sections include (or that If runs), so each is done as its kind wherever it is named.
class SectionDispatch {
  public:
    SectionDispatch(OperationContext& context, FileSectionReader& files, LinkServices& links);
    ~SectionDispatch() { files_.setOtherKinds({}); }
    SectionDispatch(const SectionDispatch&) = delete;
    SectionDispatch& operator=(const SectionDispatch&) = delete;

    void setReading(WorkSectionKind kind, SectionReading reading) {
        readings_[kind] = std::move(reading);
    }

    bool process(std::string_view section, Direction direction);

  private:
    OperationContext& context_;
    FileSectionReader& files_;
    std::map<WorkSectionKind, SectionReading> readings_;
};

}  // namespace kestrel::setup
