// Setup.inf as the installer reads it: the script loaded and its section index built, every
// section's lines read with and without continuation, split into fields, read as conditions
// (If and [Requirements]), numbers, flag words and the layout settings of the background.
#include "FuzzInput.h"
#include "records/Requirements.h"
#include "script/Condition.h"
#include "script/Fields.h"
#include "script/Layout.h"
#include "script/ScriptText.h"
#include "script/Settings.h"

namespace {

using namespace kestrel::setup;

void readConditions(const std::string& text) {
    const std::vector<std::string> tokens = records::requirementTokens(text);
    std::size_t at = 0;
    while (at < tokens.size()) {
        const std::size_t before = at;
        const auto condition = readCondition(tokens, at);
        if (condition) {
            // Functions answer with their argument, so both sides are compared as texts.
            (void)conditionHolds(*condition, [](std::string_view, std::string_view argument) {
                return std::optional<std::string>(argument);
            });
        }
        if (!condition || at == before) break;
    }
}

void readLine(const ScriptLine& line) {
    for (const std::string& field : splitFields(line.text)) {
        (void)readNumber(field);
        (void)readDecimalOrHex(field);
        (void)readFlags(field, pictureFlagNames());
        (void)unescapeText(field);
    }
    readConditions(line.text);
    (void)parsePictureSetting(line.text);
    (void)parseBackgroundText(line.text);
    if (const auto rect = parseCopyDialogRect(line.text))
        (void)placeCopyDialog(*rect, 640, 480, 320, 200, 96);
}

void readSections(const ScriptText& script) {
    const std::string_view text = script.text();
    for (std::size_t pos = text.find('['); pos != std::string_view::npos;
         pos = text.find('[', pos + 1)) {
        const std::size_t close = text.find(']', pos);
        if (close == std::string_view::npos) break;
        const std::string_view name = text.substr(pos + 1, close - pos - 1);
        for (const bool continuation : {false, true}) {
            for (const ScriptLine& line : script.sectionLines(name, 256, continuation))
                readLine(line);
        }
        (void)script.readValue(name, "Caption");
        (void)script.lineNumberAt(pos);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const kestrel::fuzz::MemoryFile file(data, size);
    const auto script = ScriptText::load(file.path(), "Setup.inf");
    if (!script) return 0;
    (void)readSetupSection(*script);
    if (const auto version = script->readValue("Setup", "Version"))
        (void)parseScriptVersion(*version);
    readSections(*script);
    return 0;
}
