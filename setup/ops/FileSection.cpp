#include "ops/FileSection.h"

#include <algorithm>

#include "copy/FileDestination.h"
#include "copy/FileLineParser.h"
#include "messages/MessageStrings.h"
#include "ops/FileOperation.h"
#include "plan/SectionReader.h"
#include "platform/AsciiCase.h"

namespace kestrel::setup {

namespace {

// Wide enough that an over-long path reaches the line parser, which refuses it, instead of
// being cut to another name.
constexpr SectionKind kFileSection{2048, strings::kCaption, false};

// A line the section cannot go past: its message when the run reaches it.
class RefusedLine : public Operation {
  public:
    explicit RefusedLine(ScriptProblem problem) : problem_(std::move(problem)) {}
    bool install(OperationContext& context) override { return refuse(context); }
    bool uninstall(OperationContext& context) override { return refuse(context); }

  private:
    bool refuse(OperationContext& context) {
        context.messages.show(problem_.message, problem_.args);
        return false;
    }
    ScriptProblem problem_;
};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// An included section of another kind: done by its own operations when the include lines
// it was reached through apply to this run.
class IncludedSection : public Operation {
  public:
    IncludedSection(const FileSectionReader& reader, std::string section,
                    std::vector<LineFlags> includes)
        : reader_(reader), section_(std::move(section)), includes_(std::move(includes)) {}
    bool install(OperationContext& context) override { return run(context, Direction::Install); }
    bool uninstall(OperationContext& context) override {
        return run(context, Direction::Uninstall);
    }

  private:
    bool run(OperationContext& context, Direction direction) {
        if (context.run.abort) return false;
        if (!includesApply(context, direction, includes_)) return true;
        return reader_.processOtherKind(section_, direction);
    }
    const FileSectionReader& reader_;
    std::string section_;
    std::vector<LineFlags> includes_;
};

}  // namespace

struct FileSectionReader::Reading {
    const Expander& expander;
    std::set<std::string>& included;       // the sections read once already
    bool sizing = false;                   // only the space is wanted: commands are pre-scanned
    std::vector<LineFlags> includes = {};  // of the include lines that led here
    std::vector<std::string> open = {};    // the sections being read, to refuse a cycle
    OperationList operations = {};
    std::uint64_t size = 0;  // expected bytes of the file lines that apply
};

std::optional<PlanStep> FileSectionReader::read(std::string_view section) {
    return readSectionStep(
        context_, section, kFileSection,
        [this, section](const std::vector<ScriptLine>& lines, const Expander& expander) {
            Reading reading{expander, included_};
            readLines(section, lines, reading);
            copier_.meter().total += reading.size;
            return std::move(reading.operations);
        });
}

std::uint64_t FileSectionReader::expectedSize(std::string_view section) {
    if (!context_.script.hasSection(section) || isOtherKind(section)) return 0;
    const Expander expander = context_.expander();
    std::set<std::string> included;
    Reading reading{expander, included, true};
    readLines(section, context_.script.sectionLines(section, kFileSection.lineSize), reading);
    return reading.size;
}

bool FileSectionReader::readLines(std::string_view section, const std::vector<ScriptLine>& lines,
                                  Reading& reading) {
    reading.open.push_back(platform::asciiLower(section));
    bool going = true;
    for (const ScriptLine& line : lines) {
        if (line.text.empty()) continue;
        if (line.text[0] == '#') {
            going = readInclude(line, reading);
        } else if (isDigit(line.text[0])) {
            going = readFileLine(line, reading);
        } else if (reading.sizing) {
            if (preScan_) reading.size += preScan_(line, reading.expander);
        } else if (commands_) {
            if (auto command = commands_(line, reading.expander))
                reading.operations.push_back(std::move(command));
        }
        if (!going) break;
    }
    reading.open.pop_back();
    return going;
}

bool FileSectionReader::readInclude(const ScriptLine& line, Reading& reading) {
    auto include = parseIncludeLine(line.text);
    if (include && !context_.script.hasSection(include->section))
        include =
            platform::unexpected(ScriptProblem{messages::kSectionNotFound, {include->section}});
    if (!include) {
        reading.operations.push_back(std::make_unique<RefusedLine>(include.error()));
        return false;
    }
    const std::string name = platform::asciiLower(include->section);
    // A section that includes itself, directly or not, would never end.
    if (std::ranges::find(reading.open, name) != reading.open.end()) return true;
    if (!reading.included.insert(name).second && !include->countEachTime) return true;
    // Registry lines, INI entries and links are no programs to start: such a section is done
    // as its kind, as it would be as a component's section.
    if (isOtherKind(include->section)) {
        if (reading.sizing) return true;
        std::vector<LineFlags> includes = reading.includes;
        includes.push_back(include->flags);
        reading.operations.push_back(std::make_unique<IncludedSection>(
            *this, std::move(include->section), std::move(includes)));
        return true;
    }
    reading.includes.push_back(include->flags);
    const bool going =
        readLines(include->section,
                  context_.script.sectionLines(include->section, kFileSection.lineSize), reading);
    reading.includes.pop_back();
    return going;
}

bool FileSectionReader::readFileLine(const ScriptLine& line, Reading& reading) {
    auto parsed = parseFileLine(line.text);
    if (!parsed) {
        reading.operations.push_back(std::make_unique<RefusedLine>(parsed.error()));
        return false;
    }
    FileLine file = std::move(*parsed);
    const Expander& expander = reading.expander;
    // Directory variables hold a trailing backslash; the places are compared without it.
    const VariableLookup variables = [&expander](std::string_view name) {
        std::optional<std::string> value = expander.lookup(name);
        if (value && !value->empty() && value->back() == '\\') value->pop_back();
        return value;
    };
    file.destination = expander.expand(file.destination);
    EngineFlagSettings engine;
    engine.dateWarning = context_.settings.dateWarning;
    engine.sizeWarning = context_.settings.sizeWarning;
    engine.perUserPart = context_.run.perUserPart;
    engine.systemPlace = inSystemPlace(file.destination, variables);
    file.flags = withEngineFlags(file.flags, engine);
    file.source = sourceWithoutPrefix(file.source, file.destination, variables, context_.run.admin);
    auto operation = std::make_unique<FileOperation>(copier_, std::move(file), reading.includes);
    const bool counted = !(operation->line().flags.file & (fileflag::kCreate | fileflag::kDelete));
    if (counted && operation->applies(context_, Direction::Install))
        reading.size += operation->line().size;
    reading.operations.push_back(std::move(operation));
    return true;
}

SectionReading FileSectionReader::reading() {
    return {[this](std::string_view section, Direction) { return read(section); }};
}

}  // namespace kestrel::setup
