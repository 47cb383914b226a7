#include "components/SectionDispatch.h"

#include "messages/MessageStrings.h"
#include "ops/IniSection.h"
#include "ops/LinkSections.h"
#include "ops/RegistrySection.h"
#include "ops/StartupSections.h"

namespace kestrel::setup {

SectionDispatch::SectionDispatch(OperationContext& context, FileSectionReader& files,
                                 LinkServices& links)
    : context_(context), files_(files) {
    // Kinds whose reader needs nothing but the context.
    const auto reads = [&context](auto reader) {
        return SectionReading{[&context, reader](std::string_view section, Direction) {
            return reader(context, section);
        }};
    };
    const SectionReading linkReading = linkSections(context, links);
    readings_ = {
        {WorkSectionKind::Plain, files.reading()},
        {WorkSectionKind::Registry, reads([](OperationContext& run, std::string_view section) {
             return readRegistrySection(run, section, false);
         })},
        {WorkSectionKind::Ini, reads(readIniSection)},
        {WorkSectionKind::ConfigSys, reads(readConfigSysSection)},
        {WorkSectionKind::Batch, reads(readBatchSection)},
        {WorkSectionKind::Progman, linkReading},
        {WorkSectionKind::Shell, linkReading},
    };
    files_.setOtherKinds({[](std::string_view section) {
                              return workSectionKind(section) != WorkSectionKind::Plain;
                          },
                          [this](std::string_view section, Direction direction) {
                              return process(section, direction);
                          }});
}

bool SectionDispatch::process(std::string_view section, Direction direction) {
    const WorkSectionKind kind = workSectionKind(section);
    // A command list names the files it would copy and does nothing else.
    if (context_.run.commandList && kind != WorkSectionKind::Plain) return true;
    const auto reading = readings_.find(kind);
    if (reading == readings_.end()) {
        context_.messages.show(messages::kSectionNotFound, {section});
        return false;
    }
    return runSection(context_, reading->second, section, direction);
}

}  // namespace kestrel::setup
