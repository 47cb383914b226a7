#include "components/SectionDispatch.h"

#include "messages/MessageStrings.h"
#include "ops/IniSection.h"
#include "ops/LinkSections.h"
#include "ops/RegistrySection.h"
#include "ops/StartupSections.h"

namespace kestrel::setup {

SectionDispatch::SectionDispatch(OperationContext& context, FileSectionReader& files,
                                 LinkServices& links)
    : context_(context), files_(files), links_(links) {
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
    switch (kind) {
        case WorkSectionKind::Plain:
            return processFileSection(files_, context_, section, direction);
        case WorkSectionKind::Registry:
            return processRegistrySection(context_, section, direction);
        case WorkSectionKind::Ini:
            return processIniSection(context_, section, direction);
        case WorkSectionKind::ConfigSys:
            return processConfigSysSection(context_, section, direction);
        case WorkSectionKind::Batch:
            return processBatchSection(context_, section, direction);
        case WorkSectionKind::Progman:
        case WorkSectionKind::Shell:
            return processLinkSection(context_, links_, section, direction);
        case WorkSectionKind::Security:
            // Windows 95/98 have no security to set.
            if (!context_.registry.machine().windowsVersion().isNT()) return true;
            break;
        case WorkSectionKind::Odbc:
        case WorkSectionKind::IpFiles:
            break;
    }
    const auto other = others_.find(kind);
    if (other != others_.end()) return other->second(section, direction);
    context_.messages.show(messages::kSectionNotFound, {section});
    return false;
}

}  // namespace kestrel::setup
