// The command line of setup itself, as a shell or a Windows program hands it over.
#include "FuzzInput.h"
#include "script/RunState.h"
#include "script/SetupCommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrel::setup;
    const std::vector<std::string> words = splitSetupWords(kestrel::fuzz::text(data, size));
    // A word that looks like a script on this system is taken for the host's file.
    const auto isHostFile = [](const std::string& word) {
        return word.size() > 4 && word.ends_with(".inf");
    };
    (void)asksForUsage(words);
    (void)asksForSilentRun(words, isHostFile);
    RunState run;
    parseSetupCommandLine(
        words, run, [](std::string_view text) { return std::string(text); }, isHostFile);
    return 0;
}
