#include "copy/VersionJudge.h"

#include <chrono>
#include <ctime>

#include "copy/FileLine.h"
#include "copy/VersionFacts.h"
#include "messages/MessageStrings.h"
#include "platform/Registry.h"
#include "platform/VersionInfo.h"
#include "script/SystemDate.h"

namespace kestrel::setup::copy {

namespace {

constexpr int kNone = buttons::kAll;

// The version texts of the questions: the FileVersion strings, unless they are equal while
// the numbers differ, when only the numbers tell the files apart.
std::pair<std::string, std::string> versionTexts(const VersionFacts& existing,
                                                 const VersionFacts& incoming) {
    if (existing.versionText == incoming.versionText && existing.version != incoming.version) {
        return {platform::versionText(existing.version), platform::versionText(incoming.version)};
    }
    return {existing.versionText, incoming.versionText};
}

std::tm localTime(std::filesystem::file_time_type time) {
    const std::time_t seconds =
        std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(time));
    std::tm local{};
    ::localtime_r(&seconds, &local);
    return local;
}

}  // namespace

Replacement VersionJudge::judge(const std::filesystem::path& newFile,
                                const std::filesystem::path& existing, const std::string& name,
                                std::uint32_t fileFlags) {
    if (fileFlags & fileflag::kAlways) return Replacement::Replace;
    switch (compareVersions(newFile, existing, name)) {
        case Verdict::Keep:
            return Replacement::Keep;
        case Verdict::Replace:
            return Replacement::Replace;
        case Verdict::NoVersionInformation:
            break;
    }
    return compareDates(newFile, existing, name, fileFlags);
}

VersionJudge::Verdict VersionJudge::compareVersions(const std::filesystem::path& newFile,
                                                    const std::filesystem::path& existing,
                                                    const std::string& name) {
    const StringTable& strings = messages_.strings();
    const platform::CodePage& codePage = platform::ansiCodePage(machine_.registry());
    const auto incoming = readVersionFacts(newFile, strings, codePage);
    const auto present = readVersionFacts(existing, strings, codePage);
    if (!incoming || !present) return Verdict::NoVersionInformation;

    const auto [presentVersion, incomingVersion] = versionTexts(*present, *incoming);
    const auto verdict = [&](int message, const std::vector<MessageArg>& args) {
        return ask(message, args) ? Verdict::Replace : Verdict::Keep;
    };
    // A 16-bit file never silently takes the place of a 32-bit one.
    if (present->operatingSystem > incoming->operatingSystem) {
        return verdict(
            messages::kOperatingSystemConflict,
            {name, present->description, presentVersion,
             operatingSystemName(present->operatingSystem, strings), incoming->description,
             incomingVersion, operatingSystemName(incoming->operatingSystem, strings)});
    }
    if (present->operatingSystem < incoming->operatingSystem) return Verdict::Replace;
    if (incoming->version > present->version) return Verdict::Replace;
    if (incoming->version < present->version) {
        return verdict(messages::kVersionConflict, {name, present->description, presentVersion,
                                                    incoming->description, incomingVersion});
    }
    if (sameLanguage(*present, *incoming)) return Verdict::Replace;
    return verdict(messages::kLanguageConflict,
                   {name, present->description, presentVersion, present->language, present->charset,
                    incoming->description, incomingVersion, incoming->language, incoming->charset});
}

Replacement VersionJudge::compareDates(const std::filesystem::path& newFile,
                                       const std::filesystem::path& existing,
                                       const std::string& name, std::uint32_t fileFlags) {
    std::error_code error;
    const auto incoming = std::filesystem::last_write_time(newFile, error);
    if (error) return Replacement::Replace;
    const auto present = std::filesystem::last_write_time(existing, error);
    if (error || incoming >= present) return Replacement::Replace;
    if (fileFlags & fileflag::kReplaceOlder) return Replacement::Keep;
    if (fileFlags & fileflag::kNoDateWarning) return Replacement::Replace;
    const SystemDate dates(machine_);
    const bool replace = ask(messages::kDateConflict, {name, dates.dateAndTime(localTime(present)),
                                                       dates.dateAndTime(localTime(incoming))});
    return replace ? Replacement::Replace : Replacement::Keep;
}

bool VersionJudge::ask(int message, const std::vector<MessageArg>& args) {
    const bool silent = run_.silent || run_.silentLevel == 3;
    if (silent || answeredNone_) return false;
    const int answer = messages_.show(message, args);
    if (answer == kNone) answeredNone_ = true;
    return answer == buttons::kYes;
}

}  // namespace kestrel::setup::copy
