#pragma once

#include <functional>
#include <map>
#include <string_view>

#include "components/WorkSection.h"
#include "ops/FileSection.h"
#include "ops/LinkServices.h"
#include "ops/OperationContext.h"

namespace kestrel::setup {

// Does (or undoes) one section; false when it failed.
using SectionProcessor = std::function<bool(std::string_view section, Direction direction)>;

// Hands a work section to the operations its name calls for: registry, INI, CONFIG.SYS and
// batch-file sections, program groups and shell links, and plain sections (file lines,
// includes, commands) through the file section reader. ODBC, TCP/IP-file and security
// sections go to the processors given for them; a section of a kind without one fails,
// said with 5529, rather than being passed over as if it had been done.
// The file section reader hands it the sections of other kinds that file sections include
// (or that If runs), so each is done as its kind wherever it is named.
class SectionDispatch {
  public:
    SectionDispatch(OperationContext& context, FileSectionReader& files, LinkServices& links);
    ~SectionDispatch() { files_.setOtherKinds({}); }
    SectionDispatch(const SectionDispatch&) = delete;
    SectionDispatch& operator=(const SectionDispatch&) = delete;

    void setProcessor(WorkSectionKind kind, SectionProcessor processor) {
        others_[kind] = std::move(processor);
    }

    bool process(std::string_view section, Direction direction);

  private:
    OperationContext& context_;
    FileSectionReader& files_;
    LinkServices& links_;
    std::map<WorkSectionKind, SectionProcessor> others_;
};

}  // namespace kestrel::setup
