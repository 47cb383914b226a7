#include "copy/FileLineParser.h"

#include <charconv>
#include <optional>
#include <vector>

#include "messages/MessageStrings.h"
#include "script/Fields.h"
#include "script/ScriptText.h"

namespace kestrel::setup {

namespace {

using namespace fileflag;

const std::vector<FlagName>& fileFlagTable() {
    static const std::vector<FlagName> table = {
        {"NORMAL", 0},
        {"APPEND", kAppend},
        {"ALWAYS", kAlways},
        {"NOSIZEWARNING", kNoSizeWarning},
        {"NODATEWARNING", kNoDateWarning},
        {"REPLACEOLDER", kReplaceOlder},
        {"DONTREPLACE", kDontReplace},
        {"OPTIONAL", kOptional},
        {"REPLACEVARS", kReplaceVars},
        {"CREATE", kCreate},
        {"DIRECTORY", kDirectory},
        {"LOCALAPP", kLocalApp},
        {"WINDOWS", kWindows},
        {"SHARED", kShared},
        {"SHAREDDLL", kSharedDll},
        {"DELETE", kDelete},
        {"DONTDELETE", kDontDelete},
        {"WINDOWS16", kWindows16},
        {"WINDOWS32", kWindows32},
        {"DOS", kDos},
        {"NT", kNt},
        {"SETUPHOOK", kSetupHook},
        {"ADMIN", kAdmin},
        {"CLIENT", kClient},
        {"MACHINE", kMachine},
        {"REGISTER", kRegister},
        {"REGISTER16", kRegister16},
        {"SETUP", kSetup},
        {"CHECKRTVERSION", kCheckRtVersion},
        {"SETUSERINFO", kSetUserInfo},
        {"CASCADED", kCascaded},
        {"SERVICE", kService},
        {"EXPAND", kExpand},
        {"DONTSETUPFROMDEST", 0},
    };
    return table;
}

const std::vector<FlagName>& attributeFlagTable() {
    static const std::vector<FlagName> table = {
        {"RDONLY", attrflag::kReadOnly},
        {"HIDDEN", attrflag::kHidden},
        {"SYSTEM", attrflag::kSystem},
        {"USEFILENAME", attrflag::kUseFileName},
    };
    return table;
}

constexpr std::string_view kFlagSeparators = "+|) \t";
// Wide enough to notice a path that is too long instead of cutting it.
constexpr std::size_t kFieldSize = 1024;

ScriptProblem cannotOpen(std::string_view name) {
    return {messages::kCannotOpenFile, {std::string(name)}};
}

std::vector<Field> readFields(std::string_view text) {
    std::vector<Field> fields;
    FieldReader reader(text);
    while (auto field = reader.next(kFieldSize)) fields.push_back(std::move(*field));
    return fields;
}

std::uint64_t readSize(std::string_view text) {
    text = trimBlanks(text);
    std::uint64_t size = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
    return error == std::errc() ? size : 0;
}

}  // namespace

platform::Expected<LineFlags, ScriptProblem> parseLineFlags(std::string_view text) {
    LineFlags flags;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find_first_of(kFlagSeparators, pos), text.size());
        const std::string_view word = text.substr(pos, end - pos);
        pos = end + 1;
        if (word.empty()) continue;
        const FlagReading asFile = readFlags(word, fileFlagTable(), kFlagSeparators);
        if (asFile.unknown.empty()) {
            flags.file |= asFile.value;
            continue;
        }
        const FlagReading asAttribute = readFlags(word, attributeFlagTable(), kFlagSeparators);
        if (!asAttribute.unknown.empty())
            return platform::unexpected(
                ScriptProblem{messages::kIncorrectFlags, {std::string(text)}});
        flags.attributes |= asAttribute.value;
    }
    return flags;
}

platform::Expected<FileLine, ScriptProblem> parseFileLine(std::string_view text) {
    std::vector<Field> fields = readFields(text);
    if (fields.empty() || fields[0].text.empty()) return platform::unexpected(cannotOpen(text));
    fields.resize(std::max<std::size_t>(fields.size(), 5));
    FileLine line;
    const std::string_view first = fields[0].text;
    if (const std::size_t colon = first.find(':'); colon != std::string_view::npos) {
        line.disk = readNumber(first.substr(0, colon));
        line.source = first.substr(colon + 1);
    } else {
        // The old form: the disk's digits run into the name, which starts after one character.
        line.disk = readNumber(first);
        line.source = first.substr(1);
    }
    if (line.source.empty() || line.source.size() > kMaxLinePath)
        return platform::unexpected(cannotOpen(first));
    line.destination = fields[1].text;
    if (line.destination.size() > kMaxLinePath)
        return platform::unexpected(ScriptProblem{messages::kCannotCreateFile, {line.destination}});
    auto flags = parseLineFlags(fields[2].text);
    if (!flags) return platform::unexpected(flags.error());
    line.flags = *flags;
    line.size = readSize(fields[3].text);
    line.extra = fields[4].text;
    return line;
}

platform::Expected<IncludeLine, ScriptProblem> parseIncludeLine(std::string_view text) {
    text = trimBlanks(text);
    if (!text.empty() && text[0] == '#') text.remove_prefix(1);
    std::vector<Field> fields = readFields(text);
    fields.resize(std::max<std::size_t>(fields.size(), 2));
    IncludeLine line;
    std::string_view name = trimBlanks(fields[0].text);
    line.countEachTime = !name.empty() && name[0] == '!';
    if (line.countEachTime) name.remove_prefix(1);
    if (name.empty())
        return platform::unexpected(ScriptProblem{messages::kSectionNotFound, {std::string()}});
    line.section = name;
    auto flags = parseLineFlags(fields[1].text);
    if (!flags) return platform::unexpected(flags.error());
    line.flags = *flags;
    return line;
}

LineFlags withEngineFlags(LineFlags flags, const EngineFlagSettings& settings) {
    std::uint32_t& file = flags.file;
    if (!settings.dateWarning) file |= kNoDateWarning;
    if (!settings.sizeWarning) file |= kNoSizeWarning;
    if (file & kSetup) file |= kExpand | kDontDelete;
    if (file & kRegister16) file |= kRegister;
    if (file & (kRegister | kService)) file |= kSharedDll;
    if (settings.perUserPart) file &= ~(kRegister | kRegister16 | kService | kSharedDll);
    if (settings.systemPlace) file |= kClient | kMachine;
    return flags;
}

}  // namespace kestrel::setup
