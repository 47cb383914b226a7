#include "system/OdbcOperations.h"

#include "messages/MessageStrings.h"
#include "plan/SectionReader.h"
#include "plan/SectionUsage.h"
#include "platform/VersionInfo.h"
#include "system/OdbcOperation.h"

namespace kestrel::setup {

namespace {

constexpr std::uint64_t kLeastInstallerVersion = 0x0002'000a'0018'0001;  // 2.10.24.01

bool isDataSource(OdbcKind kind) {
    return kind == OdbcKind::UserDsn || kind == OdbcKind::SystemDsn || kind == OdbcKind::FileDsn;
}

}  // namespace

bool OdbcOperations::versionAccepted() {
    if (versionChecked_) return true;
    OperationContext& context = services_.context;
    if (installerVersion_ < kLeastInstallerVersion) {
        const std::string library = context.registry.machine().systemDirectory() + "\\" +
                                    std::string(OdbcInstaller::kLibrary);
        context.messages.show(
            messages::kVersionOutOfDate,
            {library, "ODBC installer", platform::versionText(kLeastInstallerVersion),
             platform::versionText(installerVersion_)});
        return false;
    }
    versionChecked_ = true;
    return true;
}

SectionReading OdbcOperations::reading() {
    return {[this](std::string_view section, Direction direction) {
                return readSection(section, direction);
            },
            [this](std::string_view section) {
                // A per-user part sets up the user; the machine's part is the workstation
                // installation's.
                const RunState& run = services_.context.run;
                const std::optional<OdbcKind> kind = odbcKindOf(section);
                const bool userDsn = kind == OdbcKind::UserDsn;
                return kind && (run.perUserPart ? !userDsn : (userDsn && run.workstation));
            }};
}

std::optional<PlanStep> OdbcOperations::readSection(std::string_view section, Direction direction) {
    OperationContext& context = services_.context;
    const std::optional<OdbcKind> kind = odbcKindOf(section);
    if (!kind) {
        context.messages.show(messages::kSectionNotFound, {section});
        return std::nullopt;
    }
    if (direction == Direction::Install && !versionAccepted()) return std::nullopt;

    const bool doneBefore = SectionUsage(context).doneBefore(section);
    const SectionKind reading{256, strings::kWorkingOn, isDataSource(*kind), "ODBC"};
    return readSectionStep(
        context, section, reading,
        [&](const std::vector<ScriptLine>& lines, const Expander& expander) {
            auto attributes = readOdbcAttributes(lines, expander);
            std::optional<std::string> refused;
            if (!attributes) refused = attributes.error();
            OperationList operations;
            operations.push_back(std::make_unique<OdbcOperation>(
                std::string(section), *kind, attributes ? *attributes : OdbcAttributes{},
                std::move(refused), doneBefore));
            return operations;
        });
}

}  // namespace kestrel::setup
