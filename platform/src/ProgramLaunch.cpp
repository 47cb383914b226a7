#include "ProgramLaunch.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>

#include "ProgramSearch.h"
#include "platform/AsciiCase.h"
#include "platform/CommandLine.h"

namespace kestrel::platform {

namespace {

enum class ProgramKind { Native, WindowsExecutable, WindowsBatch };

bool startsWithMz(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    std::array<char, 2> magic{};
    const ssize_t n = ::read(fd, magic.data(), magic.size());
    ::close(fd);
    return n == 2 && magic[0] == 'M' && magic[1] == 'Z';
}

ProgramKind kindOf(const std::filesystem::path& file) {
    const std::string extension = asciiLower(file.extension().string());
    if (extension == ".bat" || extension == ".cmd") return ProgramKind::WindowsBatch;
    // The content decides, not the name: a native program may well be installed as FOO.EXE.
    return startsWithMz(file) ? ProgramKind::WindowsExecutable : ProgramKind::Native;
}

}  // namespace

LaunchPlan planLaunch(const StartRequest& request) {
    LaunchPlan plan;
    plan.argv = splitCommandLine(request.commandLine);
    // CreateProcess with no command line uses the application name as the command line.
    if (plan.argv.empty() && request.application) {
        plan.argv.push_back(request.application->string());
    }

    const LocatedProgram program =
        locateProgram(request, plan.argv.empty() ? std::string_view() : plan.argv.front());
    if (program.error != StartError::None) {
        plan.error = program.error;
        return plan;
    }

    const ProgramKind kind = kindOf(program.path);
    if (kind == ProgramKind::Native) {
        if (::access(program.path.c_str(), X_OK) != 0) plan.error = StartError::AccessDenied;
        plan.executable = program.path;
        return plan;
    }

    const auto wine = findOnPath("wine");
    if (!wine) {
        plan.error = StartError::BadFormat;
        return plan;
    }
    std::vector<std::string> argv{wine->string()};
    if (kind == ProgramKind::WindowsBatch) argv.insert(argv.end(), {"cmd", "/c"});
    argv.push_back(program.path.string());
    argv.insert(argv.end(), plan.argv.begin() + 1, plan.argv.end());
    plan.executable = *wine;
    plan.argv = std::move(argv);
    return plan;
}

}  // namespace kestrel::platform
