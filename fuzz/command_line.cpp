// Windows command lines: split as the C runtime splits them; joining gives back the same
// arguments, and each argument quoted alone survives as one argument.
#include <cstdio>

#include "FuzzInput.h"
#include "platform/CommandLine.h"

namespace {

void require(bool holds, const char* what, std::string_view input) {
    if (holds) return;
    std::fprintf(stderr, "command line: %s for \"%.*s\"\n", what, static_cast<int>(input.size()),
                 input.data());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrel::platform;
    const auto input = kestrel::fuzz::text(data, size);
    const std::vector<std::string> argv = splitCommandLine(input);
    if (!argv.empty())
        require(splitCommandLine(joinCommandLine(argv)) == argv, "join does not split back", input);

    // Any text without NUL is an argument a caller may pass.
    const std::string argument(input.substr(0, input.find('\0')));
    const std::vector<std::string> expected = {"x", argument};
    require(splitCommandLine("x " + quoteArgument(argument)) == expected,
            "quoteArgument does not split back", input);
    require(splitCommandLine("x -w" + quotedArgument(argument)) ==
                std::vector<std::string>{"x", "-w" + argument},
            "quotedArgument does not split back", input);
    return 0;
}
