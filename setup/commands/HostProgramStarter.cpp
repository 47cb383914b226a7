#include "commands/HostProgramStarter.h"

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "platform/AsciiCase.h"
#include "platform/CommandLine.h"
#include "platform/RootProgramSearch.h"
#include "platform/ShellLink.h"
#include "platform/WineTools.h"

namespace kestrel::setup::commands {

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorPathNotFound = 3;
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorNotEnoughMemory = 8;
constexpr std::uint32_t kErrorBadExeFormat = 193;
constexpr std::uint32_t kErrorWriteFault = 29;  // our registry could not be handed over
constexpr std::uint32_t kErrorTimeout = 1460;   // its server kept the registry

// A link that leads to a link that leads back must end somewhere.
constexpr int kMaxLinkDepth = 4;

// The fixed fields of a PIF file: program, working directory, parameters.
constexpr std::size_t kPifProgram = 0x24, kPifProgramSize = 63;
constexpr std::size_t kPifDirectory = 0x65, kPifDirectorySize = 64;
constexpr std::size_t kPifParameters = 0xA5, kPifParametersSize = 64;

bool hasPathPart(std::string_view name) {
    return name.find_first_of("\\/:") != std::string_view::npos;
}

std::string extensionOf(const fs::path& file) {
    return platform::asciiLower(file.extension().string());
}

bool isWindowsProgram(const std::string& extension) {
    return extension == ".exe" || extension == ".com" || extension == ".bat" || extension == ".cmd";
}

std::string textField(const std::vector<char>& bytes, std::size_t at, std::size_t size) {
    std::string text(bytes.begin() + at, bytes.begin() + at + size);
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

std::string commandLineOf(std::string_view program, std::string_view arguments) {
    std::string line = platform::joinCommandLine({std::string(program)});
    if (!arguments.empty()) line.append(" ").append(arguments);
    return line;
}

}  // namespace

std::uint32_t windowsErrorOf(platform::StartError error) {
    switch (error) {
        case platform::StartError::None:
            return 0;
        case platform::StartError::FileNotFound:
            return kErrorFileNotFound;
        case platform::StartError::PathNotFound:
            return kErrorPathNotFound;
        case platform::StartError::AccessDenied:
            return kErrorAccessDenied;
        case platform::StartError::BadFormat:
            return kErrorBadExeFormat;
        case platform::StartError::OutOfResources:
            return kErrorNotEnoughMemory;
    }
    return kErrorNotEnoughMemory;
}

ProgramWord splitProgramWord(std::string_view commandLine) {
    std::size_t at = commandLine.find_first_not_of(" \t");
    if (at == std::string_view::npos) return {};
    ProgramWord word;
    std::size_t end;
    if (commandLine[at] == '"') {
        end = commandLine.find('"', at + 1);
        word.program = std::string(commandLine.substr(at + 1, end - at - 1));
        end = end == std::string_view::npos ? commandLine.size() : end + 1;
    } else {
        end = std::min(commandLine.find_first_of(" \t", at), commandLine.size());
        word.program = std::string(commandLine.substr(at, end - at));
    }
    const std::size_t rest = commandLine.find_first_not_of(" \t", end);
    if (rest != std::string_view::npos) word.arguments = std::string(commandLine.substr(rest));
    return word;
}

std::optional<PifTarget> readPifFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    if (bytes.size() < kPifParameters + kPifParametersSize) return std::nullopt;
    PifTarget target;
    target.program = textField(bytes, kPifProgram, kPifProgramSize);
    target.workingDirectory = textField(bytes, kPifDirectory, kPifDirectorySize);
    target.parameters = textField(bytes, kPifParameters, kPifParametersSize);
    if (target.program.empty()) return std::nullopt;
    return target;
}

std::uint32_t HostProgramStarter::start(std::string_view commandLine,
                                        std::string_view workingDirectory, bool wait) {
    return startResolved(commandLine, workingDirectory, wait, 0);
}

std::uint32_t HostProgramStarter::startResolved(std::string_view commandLine,
                                                std::string_view workingDirectory, bool wait,
                                                int linkDepth) {
    const ProgramWord word = splitProgramWord(commandLine);
    if (word.program.empty()) return kErrorFileNotFound;

    std::error_code error;
    platform::StartRequest request;
    // Wine runs Windows programs in the prefix its environment names: this root's.
    request.environment = {"WINEPREFIX=" + machine_.prefix().string()};
    if (const auto directory = machine_.hostPath(workingDirectory);
        !workingDirectory.empty() && directory && fs::is_directory(*directory, error))
        request.workingDirectory = *directory;

    // Where the program is on the root, Windows' way; ".exe" after a name without one.
    std::optional<fs::path> program;
    std::vector<std::string> names{word.program};
    if (fs::path(word.program).extension().empty()) names.push_back(word.program + ".exe");
    for (const std::string& name : names) {
        if (hasPathPart(name)) {
            const auto host = machine_.hostPath(name, workingDirectory);
            if (host && fs::is_regular_file(*host, error)) program = host;
        } else if (const auto found =
                       platform::findOnRootSearchPath(machine_, name, {}, workingDirectory)) {
            program = machine_.hostPath(*found);
        }
        if (program) break;
    }
    if (!program) {
        if (!hasPathPart(word.program)) {
            // Not in the root: a native program on the host's PATH, if anywhere.
            request.commandLine = std::string(commandLine);
            return windowsErrorOf(wait ? platform::runProgram(request, keepAlive_).error
                                       : platform::startProgram(request));
        }
        const auto folder = machine_.hostPath(word.program, workingDirectory);
        return folder && fs::is_directory(folder->parent_path(), error) ? kErrorFileNotFound
                                                                        : kErrorPathNotFound;
    }

    const std::string extension = extensionOf(*program);
    if (extension == ".lnk" || extension == ".pif") {
        if (linkDepth >= kMaxLinkDepth) return kErrorBadExeFormat;
        std::string target, arguments, directory;
        if (extension == ".lnk") {
            const auto link = platform::readShellLink(*program);
            if (!link || link->target.empty()) return kErrorBadExeFormat;
            target = link->target;
            arguments = link->arguments;
            directory = link->workingDirectory;
        } else {
            const auto pif = readPifFile(*program);
            if (!pif) return kErrorBadExeFormat;
            target = pif->program;
            arguments = pif->parameters;
            directory = pif->workingDirectory;
        }
        if (!word.arguments.empty()) arguments += (arguments.empty() ? "" : " ") + word.arguments;
        return startResolved(commandLineOf(target, arguments),
                             directory.empty() ? workingDirectory : std::string_view(directory),
                             wait, linkDepth + 1);
    }

    if (!isWindowsProgram(extension) && ::access(program->c_str(), X_OK) != 0) {
        // A document: the desktop opens it with its program.
        request.commandLine = platform::joinCommandLine({"xdg-open", program->string()});
        const platform::StartError opened = platform::startProgram(request);
        return opened == platform::StartError::FileNotFound ? kErrorNoAssociation
                                                            : windowsErrorOf(opened);
    }
    request.application = *program;
    request.commandLine = commandLineOf(word.program, word.arguments);
    if (!isWindowsProgram(extension) || !platform::wineInstalled())
        return windowsErrorOf(wait ? platform::runProgram(request, keepAlive_).error
                                   : platform::startProgram(request));
    // A Windows program reads and writes the root's registry through Wine: it gets what we
    // wrote so far, and what it writes is not lost (nothing to do while the registry goes
    // through the server; the hive files are handed over and, after a wait, taken back).
    if (!machine_.handRegistryToWine()) return kErrorWriteFault;
    if (!wait) return windowsErrorOf(platform::startProgram(request));
    const platform::StartError ran = platform::runProgram(request, keepAlive_).error;
    if (ran == platform::StartError::None && !machine_.takeRegistryBack()) return kErrorTimeout;
    return windowsErrorOf(ran);
}

}  // namespace kestrel::setup::commands
