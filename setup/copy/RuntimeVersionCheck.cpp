#include "copy/RuntimeVersionCheck.h"

#include "copy/VersionFacts.h"
#include "messages/MessageStrings.h"
#include "platform/Registry.h"
#include "platform/RootProgramSearch.h"
#include "platform/VersionInfo.h"
#include "platform/WindowsPathText.h"

namespace kestrel::setup::copy {

void RuntimeVersionCheck::remember(std::string installed, std::optional<std::uint64_t> brought) {
    files_.push_back({std::move(installed), brought});
}

void RuntimeVersionCheck::run(std::string_view applicationDirectory) {
    const bool silent = run_.silent || run_.silentLevel == 3;
    if (!silent && !run_.admin) {
        for (const File& file : files_) check(file, applicationDirectory);
    }
    files_.clear();
}

void RuntimeVersionCheck::check(const File& file, std::string_view applicationDirectory) {
    const StringTable& strings = messages_.strings();
    const platform::CodePage& codePage = platform::ansiCodePage(machine_.registry());
    const std::string& installed = file.installed;
    const auto installedHost = machine_.hostPath(installed);
    if (!installedHost) return;
    const auto have = readVersionFacts(*installedHost, strings, codePage);
    if (!have) return;
    if (file.brought && have->version < *file.brought) {
        messages_.show(messages::kVersionOutOfDate,
                       {installed, have->description, platform::versionText(*file.brought),
                        platform::versionText(have->version)});
    }

    const std::string name(platform::fileNamePart(installed));
    const std::optional<std::string> found =
        platform::findOnRootSearchPath(machine_, name, applicationDirectory);
    progress_.checkingRuntime(installed, found.value_or(""));
    const auto foundHost = found ? machine_.hostPath(*found) : std::nullopt;
    std::error_code error;
    if (!foundHost || std::filesystem::equivalent(*foundHost, *installedHost, error)) return;
    const auto load = readVersionFacts(*foundHost, strings, codePage);
    if (load && load->version < have->version) {
        messages_.show(messages::kRuntimeVersionConflict,
                       {installed, platform::versionText(have->version), *found,
                        platform::versionText(load->version)});
    }
}

}  // namespace kestrel::setup::copy
