#include "script/Expander.h"

#include "platform/AsciiCase.h"
#include "platform/ProfileFunctions.h"
#include "script/Fields.h"
#include "script/ScriptText.h"

namespace kestrel::setup {

namespace {

bool isAsciiLetterOrDigit(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

bool canBeginName(std::string_view name) {
    const char c = name[0];
    return isAsciiLetterOrDigit(c) || c == '_' || c == '-' || c == '~' ||
           (c == '\\' && name.size() > 1 && name[1] == '\\');
}

bool canEndName(char c) {
    return isAsciiLetterOrDigit(c) || c == '_' || c == '-' || c == '"';
}

}  // namespace

std::optional<std::string> Expander::readReference(std::string_view name) const {
    // root\key:value (a doubled colon keeps its first one in the key path)
    if (const std::size_t backslash = name.find('\\'); backslash != std::string_view::npos) {
        if (const auto root = registryRootOfName(name.substr(0, backslash))) {
            std::size_t colon = name.find(':', backslash);
            if (colon != std::string_view::npos) {
                if (colon + 1 < name.size() && name[colon + 1] == ':') ++colon;
                const std::string_view key = name.substr(backslash + 1, colon - backslash - 1);
                std::string text;
                if (sources_.registry &&
                    sources_.registry->readText(*root, key, name.substr(colon + 1), &text) == 0) {
                    return text;
                }
                return std::nullopt;
            }
        }
    }
    const std::vector<std::string> fields = splitFields(name, kLimit + 1);
    if (fields.size() != 3) return std::nullopt;
    if (const auto root = registryRootOfName(trimBlanks(fields[0]))) {
        std::string text;
        if (sources_.registry &&
            sources_.registry->readText(*root, fields[1], fields[2], &text) == 0) {
            return text;
        }
        return std::nullopt;
    }
    if (fields[0].empty() || fields[1].empty() || fields[2].empty() || !sources_.machine) {
        return std::nullopt;
    }
    const std::filesystem::path file = sources_.machine->profileFile(fields[0]);
    if (file.empty()) return std::nullopt;
    return platform::getProfileString(file, fields[1], fields[2], "", kLimit + 1);
}

std::optional<std::string> Expander::lookup(std::string_view name) const {
    if (sources_.variables) {
        if (auto value = sources_.variables->get(name)) return value;
    }
    if (sources_.environment) {
        if (auto value = sources_.environment->get(name)) return value;
    }
    return readReference(name);
}

std::string Expander::expand(std::string_view text) const {
    return expandInto(text, nullptr);
}

ExpandedText Expander::expandMarked(std::string_view text) const {
    ExpandedText expanded;
    expanded.text = expandInto(text, &expanded.place);
    return expanded;
}

std::string Expander::expandInto(std::string_view text, std::vector<bool>* places) const {
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size() && out.size() < kLimit) {
        const char c = text[pos];
        if (c != '%') {
            out += c;
            ++pos;
            continue;
        }
        const char next = pos + 1 < text.size() ? text[pos + 1] : '\0';
        if (next == '\0' || next == ',' || (next >= '0' && next <= '9') || next == '%') {
            out += '%';
            pos += next == '%' ? 2 : 1;
            continue;
        }
        const std::size_t close = text.find('%', pos + 1);
        if (close == std::string_view::npos) {
            out += text.substr(pos);
            break;
        }
        std::string name = platform::asciiUpper(text.substr(pos + 1, close - pos - 1));
        pos = close + 1;
        char prefix = '\0', suffix = '\0';
        bool shortForm = false;
        if (!name.empty() && !canBeginName(name)) {
            prefix = name[0];
            name.erase(0, 1);
        }
        if (!name.empty() && name[0] == '~') {
            shortForm = true;
            name.erase(0, 1);
        }
        if (!name.empty() && !canEndName(name.back())) {
            suffix = name.back();
            name.pop_back();
        }
        std::string value = name.empty() ? std::string() : lookup(name).value_or("");
        bool place = sources_.variables && BuiltinVariables::holdsPlace(name);
        if (!value.empty() && value.back() == '\\') {
            value.pop_back();
            place = true;
        }
        if (shortForm && !value.empty() && sources_.machine) {
            value = sources_.machine->shortPath(value);
            if (value.back() == '\\') value.pop_back();
        }
        if (value.empty()) continue;
        if (prefix != '\0') out += prefix;
        // The marks grow with the text: what came before is no place, the value may be.
        if (places) places->resize(out.size(), false);
        out += value;
        if (places) places->resize(out.size(), place);
        if (suffix == '\\') {
            if (out.back() != '\\') out += '\\';
        } else if (suffix != '\0') {
            out += suffix;
        }
    }
    if (out.size() > kLimit) out.resize(kLimit);
    if (places) places->resize(out.size(), false);
    return out;
}

}  // namespace kestrel::setup
