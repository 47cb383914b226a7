#include "platform/ProgramManager.h"

#include "platform/JournaledFiles.h"

#include <algorithm>

#include "platform/AsciiCase.h"
#include "platform/CodePage.h"
#include "platform/EmptyFolders.h"
#include "platform/ShellLink.h"
#include "platform/WindowsPathText.h"

namespace kestrel::platform {

namespace fs = std::filesystem;
using Kind = ProgramManagerError::Kind;

namespace {

Unexpected<ProgramManagerError> failure(Kind kind, std::string message) {
    return unexpected(ProgramManagerError{kind, std::move(message)});
}

// A folder or file name Windows would take, and that stays where it is put.
bool isPlainName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    if (name.back() == ' ' || name.back() == '.') return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
    });
}

bool isGroupName(std::string_view name) {
    while (true) {
        const std::size_t backslash = name.find('\\');
        if (!isPlainName(name.substr(0, backslash))) return false;
        if (backslash == std::string_view::npos) return true;
        name.remove_prefix(backslash + 1);
    }
}

// A leading decimal number, as the program manager reads its numeric arguments.
int leadingNumber(std::string_view text) {
    long value = 0;
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (negative || (i < text.size() && text[i] == '+')) ++i;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && value < 100000000; ++i) {
        value = value * 10 + (text[i] - '0');
    }
    return static_cast<int>(negative ? -value : value);
}

const std::string& argument(const DdeCommand& command, std::size_t index) {
    static const std::string none;
    return index < command.arguments.size() ? command.arguments[index] : none;
}

bool commonFlag(const DdeCommand& command, std::size_t index) {
    return argument(command, index) == "1";
}

bool hasDirectoryPart(std::string_view path) {
    return path.find_first_of("\\/:") != std::string_view::npos;
}

// The file name without its directory and extension.
std::string baseName(std::string_view path) {
    const std::string_view name = fileNamePart(path, PathSeparators::BackslashSlashOrColon);
    return std::string(name.substr(0, name.rfind('.')));
}

}  // namespace

ProgramManager::ProgramManager(const MachineRoot& root, ProgramLookup findProgram,
                               FolderShow showFolder)
    : root_(root), findProgram_(std::move(findProgram)), showFolder_(std::move(showFolder)) {}

Expected<void, ProgramManagerError> ProgramManager::execute(std::string_view commands) {
    auto parsed = parseDdeCommands(commands);
    if (!parsed) return failure(Kind::BadCommand, parsed.error());
    for (const DdeCommand& command : *parsed) {
        if (auto done = run(command); !done) return done;
    }
    return {};
}

Expected<void, ProgramManagerError> ProgramManager::run(const DdeCommand& command) {
    const std::string& name = command.name;
    if (equalsIgnoreAsciiCase(name, "CreateGroup")) return createGroup(command);
    if (equalsIgnoreAsciiCase(name, "ShowGroup")) return showGroup(command);
    if (equalsIgnoreAsciiCase(name, "DeleteGroup")) return deleteGroup(command);
    if (equalsIgnoreAsciiCase(name, "AddItem")) return addItem(command);
    if (equalsIgnoreAsciiCase(name, "ReplaceItem")) return deleteItem(command, false);
    if (equalsIgnoreAsciiCase(name, "DeleteItem")) return deleteItem(command, true);
    // Nothing of ours to save or reload: the folders are the state.
    if (equalsIgnoreAsciiCase(name, "ExitProgman") || equalsIgnoreAsciiCase(name, "Reload")) {
        return {};
    }
    return failure(Kind::BadCommand, "unknown command " + name);
}

Expected<ProgramManager::Group, ProgramManagerError> ProgramManager::group(std::string_view name,
                                                                           bool common) const {
    if (!isGroupName(name)) {
        return failure(Kind::BadCommand, "'" + std::string(name) + "' is no group name");
    }
    const std::string programs = root_.shellFolder(ShellFolder::Programs, common);
    auto programsFolder = root_.hostPath(programs);
    auto folder = root_.hostPath(programs + "\\" + std::string(name));
    if (!programsFolder || !folder) {
        return failure(Kind::Failed, "the programs folder " + programs + " lies on no drive");
    }
    return Group{std::move(*folder), std::move(*programsFolder)};
}

Expected<void, ProgramManagerError> ProgramManager::createGroup(const DdeCommand& command) {
    selected_.reset();  // a group command that fails leaves no group for items to go to
    auto found = group(argument(command, 0), commonFlag(command, 1));
    if (!found) return unexpected(found.error());
    std::error_code ec = journaled::createFolders(found->folder);
    if (!fs::is_directory(found->folder, ec)) {
        return failure(Kind::Failed,
                       "cannot create the folder " + found->folder.string() + ": " + ec.message());
    }
    selected_ = std::move(*found);
    return {};
}

Expected<void, ProgramManagerError> ProgramManager::showGroup(const DdeCommand& command) {
    selected_.reset();
    auto found = group(argument(command, 0), commonFlag(command, 2));
    if (!found) return unexpected(found.error());
    if (std::error_code ec; !fs::is_directory(found->folder, ec)) {
        return failure(Kind::NotFound, "there is no group " + argument(command, 0));
    }
    if (showFolder_) showFolder_(found->folder);
    selected_ = std::move(*found);
    return {};
}

Expected<void, ProgramManagerError> ProgramManager::deleteGroup(const DdeCommand& command) {
    auto found = group(argument(command, 0), commonFlag(command, 1));
    if (!found) return unexpected(found.error());
    if (std::error_code ec; !fs::is_directory(found->folder, ec)) {
        return failure(Kind::NotFound, "there is no group " + argument(command, 0));
    }
    if (std::error_code ec = journaled::removeTree(found->folder)) {
        return failure(Kind::Failed,
                       "cannot remove the folder " + found->folder.string() + ": " + ec.message());
    }
    removeEmptyFolders(found->folder.parent_path(), {found->programs});
    if (selected_ && selected_->folder == found->folder) selected_.reset();
    return {};
}

bool ProgramManager::groupIsEmpty(std::string_view name, bool common) const {
    auto found = group(name, common);
    std::error_code ec;
    return found && fs::is_directory(found->folder, ec) && fs::is_empty(found->folder, ec);
}

Expected<fs::path, ProgramManagerError> ProgramManager::itemFile(std::string_view name) const {
    if (!selected_) return failure(Kind::NotFound, "no group is selected");
    if (!isPlainName(name)) {
        return failure(Kind::BadCommand, "'" + std::string(name) + "' is no item name");
    }
    const std::string file = std::string(name) + ".lnk";
    const CodePage& codePage = ansiCodePage(root_.registry());
    // An item of another case is the same item, as on Windows.
    std::error_code ec;
    for (fs::directory_iterator it(selected_->folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (equalsIgnoreAsciiCase(entry, codePage.toUtf8(file))) return it->path();
    }
    return selected_->folder / codePage.toUtf8(file);
}

Expected<void, ProgramManagerError> ProgramManager::deleteItem(const DdeCommand& command,
                                                               bool mustExist) {
    auto file = itemFile(argument(command, 0));
    if (!file) return unexpected(file.error());
    std::error_code ec;
    if (!fs::is_regular_file(*file, ec)) {
        if (!mustExist) return {};
        return failure(Kind::NotFound, "there is no item " + argument(command, 0));
    }
    if ((ec = journaled::removeFile(*file))) {
        return failure(Kind::Failed, "cannot remove " + file->string() + ": " + ec.message());
    }
    return {};
}

std::optional<std::string> ProgramManager::findTarget(std::string_view target) const {
    if (!hasDirectoryPart(target)) {
        return findProgram_ ? findProgram_(target) : std::nullopt;
    }
    const auto host = root_.hostPath(target);
    std::error_code ec;
    if (host && fs::exists(*host, ec)) return std::string(target);
    return std::nullopt;
}

std::pair<std::string, std::string> ProgramManager::splitItemCommand(
    std::string_view commandLine) const {
    const auto rest = [&](std::size_t from) {
        std::string_view tail = commandLine.substr(std::min(from, commandLine.size()));
        while (!tail.empty() && tail.front() == ' ') tail.remove_prefix(1);
        return std::string(tail);
    };
    while (!commandLine.empty() && commandLine.front() == ' ') commandLine.remove_prefix(1);
    if (!commandLine.empty() && commandLine.front() == '"') {
        const std::size_t close = commandLine.find('"', 1);
        std::string target(
            commandLine.substr(1, close == std::string_view::npos ? close : close - 1));
        return {findTarget(target).value_or(target),
                rest(close == std::string_view::npos ? close : close + 1)};
    }
    // An unquoted path may hold blanks: the shortest start of the line that names a program
    // is the program, as when Windows starts such a command line.
    for (std::size_t blank = commandLine.find(' ');; blank = commandLine.find(' ', blank + 1)) {
        const std::string_view candidate = commandLine.substr(0, blank);
        if (auto found = findTarget(candidate)) return {*found, rest(blank)};
        if (blank == std::string_view::npos) break;
    }
    const std::size_t blank = commandLine.find(' ');
    return {std::string(commandLine.substr(0, blank)), rest(blank)};
}

Expected<void, ProgramManagerError> ProgramManager::addItem(const DdeCommand& command) {
    const std::string& commandLine = argument(command, 0);
    if (commandLine.find_first_not_of(' ') == std::string::npos) {
        return failure(Kind::BadCommand, "AddItem needs a command line");
    }
    auto [target, arguments] = splitItemCommand(commandLine);
    const std::string name = argument(command, 1).empty() ? baseName(target) : argument(command, 1);
    auto file = itemFile(name);
    if (!file) return unexpected(file.error());
    const CodePage& codePage = ansiCodePage(root_.registry());
    ShellLink link;
    link.target = codePage.toUtf8(target);
    link.arguments = codePage.toUtf8(arguments);
    link.iconLocation = codePage.toUtf8(argument(command, 2));
    link.iconIndex = leadingNumber(argument(command, 3));
    link.workingDirectory = codePage.toUtf8(argument(command, 6));
    link.hotKey = static_cast<std::uint16_t>(leadingNumber(argument(command, 7)));
    if (leadingNumber(argument(command, 8)) == 1) link.showCommand = ShowCommand::MinimizedNoActive;
    if (const std::error_code ec = writeShellLink(*file, link)) {
        return failure(Kind::Failed, "cannot write " + file->string() + ": " + ec.message());
    }
    return {};
}

}  // namespace kestrel::platform
