#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "copy/FileCopier.h"
#include "ops/Operation.h"
#include "plan/Plan.h"
#include "plan/SectionReader.h"

namespace kestrel::setup {

// Reads file sections into plan steps: file lines become FileOperations (the copier does
// their work), include lines ("#section,flags") bring in the lines of the named section
// behind their own flags, and any other line is a script command, handed to the command
// reader. A line with an unknown flag word, or an include of a missing section, ends the
// section there: its message is shown when the run reaches it (5530, 5529). Sections are
// included once per run, or each time when written with "!". An included section of another
// kind (registry, INI, links, ...) is done by the operations of its kind, behind the include
// line's flags. The reader lives for the run.
class FileSectionReader {
  public:
    // The sections whose name gives them another kind than file sections, and how one is
    // done or undone (false: it failed).
    struct OtherKinds {
        std::function<bool(std::string_view section)> has;
        std::function<bool(std::string_view section, Direction direction)> process;
    };
    // Turns a command line into its operation (nullptr: nothing to do).
    using CommandReader =
        std::function<std::unique_ptr<Operation>(const ScriptLine& line, const Expander& expander)>;

    FileSectionReader(OperationContext& context, copy::FileCopier& copier)
        : context_(context), copier_(copier) {}

    // The script command interpreter reads the lines that are neither file nor include
    // lines; without one they do nothing.
    void setCommandReader(CommandReader reader) { commands_ = std::move(reader); }

    // What a command line adds to the space a section needs: the interpreter's pre-scan,
    // in which only Set, ReplaceEnv and If act (If counting the space of the section it
    // chooses, through expectedSize). Without one, command lines add nothing.
    using CommandPreScan =
        std::function<std::uint64_t(const ScriptLine& line, const Expander& expander)>;
    void setCommandPreScan(CommandPreScan preScan) { preScan_ = std::move(preScan); }

    // Without them every section is read as a file section.
    void setOtherKinds(OtherKinds others) { others_ = std::move(others); }
    bool isOtherKind(std::string_view section) const { return others_.has && others_.has(section); }
    bool processOtherKind(std::string_view section, Direction direction) const {
        return others_.process(section, direction);
    }

    // The section as a step; nullopt (message 5529) when it does not exist. The meter's
    // total grows by the expected sizes of the file lines that apply to this run.
    std::optional<PlanStep> read(std::string_view section);
    // File sections as a kind of section: through `read`.
    SectionReading reading();

    // The bytes the section needs in this run: the expected sizes of its file lines that
    // apply (includes followed as installation follows them, each once unless written with
    // "!") and what the command pre-scan adds. 0 for a missing section. Neither the meter
    // nor the run's record of included sections is touched.
    std::uint64_t expectedSize(std::string_view section);

  private:
    struct Reading;
    // false when a line ended the section.
    bool readLines(std::string_view section, const std::vector<ScriptLine>& lines,
                   Reading& reading);
    bool readInclude(const ScriptLine& line, Reading& reading);
    bool readFileLine(const ScriptLine& line, Reading& reading);

    OperationContext& context_;
    copy::FileCopier& copier_;
    CommandReader commands_;
    CommandPreScan preScan_;
    OtherKinds others_;
    std::set<std::string> included_;  // lower case
};

}  // namespace kestrel::setup
