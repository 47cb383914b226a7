#include "script/SetupCommandLine.h"

#include "platform/AsciiCase.h"
#include "script/BuiltinVariables.h"
#include "script/Fields.h"

namespace kestrel::setup {

std::vector<std::string> splitSetupWords(std::string_view commandLine) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, inWord = false;
    for (const char c : commandLine) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

void parseSetupCommandLine(const std::vector<std::string>& words, RunState& run,
                           const std::function<std::string(std::string_view)>& expand,
                           const std::function<bool(const std::string&)>& isHostFile) {
    for (const std::string& word : words) {
        const bool hostPath = word.size() > 1 && word[0] == '/' &&
                              word.find('/', 1) != std::string::npos && isHostFile &&
                              isHostFile(word);
        if (word.empty() || hostPath || (word[0] != '/' && word[0] != '-')) {
            if (!word.empty()) run.scriptWord = word;
            continue;
        }
        if (word.size() < 2) continue;
        const char letter = platform::asciiUpper(word[1]);
        std::string_view argument = std::string_view(word).substr(2);
        if (!argument.empty() && argument[0] == ':') argument.remove_prefix(1);
        switch (letter) {
            case '?':
                run.usage = true;
                break;
            case 'A': {
                run.admin = true;
                const char variant = argument.empty() ? '\0' : argument[0];
                if (variant == 'S' || variant == 's') run.adminServerOnly = true;
                if (variant == 'W' || variant == 'w') run.workstation = true;
                break;
            }
            case 'C':
                run.client = true;
                break;
            case 'D':
                run.fromCD = true;
                break;
            case 'L':
                run.localOnly = true;
                break;
            case 'M':
                run.maintenance = true;
                break;
            case 'N':
                run.newInstance = true;
                break;
            case 'O':
                run.options += argument;
                break;
            case 'P':
                run.sourceDirectory =
                    withTrailingBackslash(expand ? expand(argument) : std::string(argument));
                break;
            case 'R':
                run.repeat = true;
                break;
            case 'S':
                run.silentLevel = readNumber(argument);
                // Level 3 keeps the run interactive; the copy engine then says No to its
                // replace questions.
                run.silent = run.silentLevel < 3;
                break;
            case 'T':
                run.commandList = true;
                run.commandListLevel = readNumber(argument);
                break;
            case 'U':
                run.uninstall = true;
                break;
            case 'W':
                run.notifyWindow = readNumber(argument);
                break;
            case 'X':
                run.extraFlags |= readHex(argument);
                break;
            default:
                break;
        }
    }
}

namespace {

RunState switchesOf(const std::vector<std::string>& words,
                    const std::function<bool(const std::string&)>& isHostFile) {
    RunState run;
    parseSetupCommandLine(
        words, run, [](std::string_view text) { return std::string(text); }, isHostFile);
    return run;
}

}  // namespace

bool asksForUsage(const std::vector<std::string>& words) {
    return switchesOf(words, {}).usage;
}

bool asksForSilentRun(const std::vector<std::string>& words,
                      const std::function<bool(const std::string&)>& isHostFile) {
    return switchesOf(words, isHostFile).silent;
}

}  // namespace kestrel::setup
