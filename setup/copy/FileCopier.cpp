#include "copy/FileCopier.h"

#include <unistd.h>

#include <fcntl.h>
#include <cerrno>
#include <cstring>

#include "copy/FileDestination.h"
#include "copy/TemporaryName.h"
#include "copy/TimesAndAttributes.h"
#include "copy/VariableReplacement.h"
#include "messages/MessageStrings.h"
#include "platform/AsciiCase.h"
#include "platform/FileAttributes.h"
#include "platform/JournaledFiles.h"
#include "platform/VersionInfo.h"
#include "platform/WindowsPathText.h"

namespace kestrel::setup::copy {

namespace fs = std::filesystem;
using namespace fileflag;

namespace {

constexpr int kBeforeCopy = 2;  // extension notifications
constexpr int kAfterCopy = 3;

bool isMissing(SourceError::Kind kind) {
    return kind == SourceError::Kind::Missing || kind == SourceError::Kind::MemberMissing;
}

// A rename or deletion that fails like this meets a file in use: it is done at the next start.
bool failsAsInUse(int error) {
    return error == EACCES || error == EPERM || error == EBUSY || error == ETXTBSY ||
           error == EEXIST;
}

// Removes the temporary file unless the copy got as far as putting it in place.
class RemoveUnlessKept {
  public:
    explicit RemoveUnlessKept(fs::path path) : path_(std::move(path)) {}
    ~RemoveUnlessKept() {
        std::error_code ignored;
        if (!kept_) fs::remove(path_, ignored);
    }
    RemoveUnlessKept(const RemoveUnlessKept&) = delete;
    RemoveUnlessKept& operator=(const RemoveUnlessKept&) = delete;
    void keep() { kept_ = true; }

  private:
    fs::path path_;
    bool kept_ = false;
};

}  // namespace

struct FileCopier::Target {
    fs::path path;
    std::unique_ptr<OutputFile> file;
};

FileCopier::FileCopier(OperationContext& context, ProgressWindow& progress, CopyServices services,
                       OutputFiles* outputs)
    : context_(context),
      progress_(progress),
      services_(services),
      outputs_(outputs ? *outputs : hostFiles_) {}

std::optional<fs::path> FileCopier::hostPathOf(const std::string& windowsPath) const {
    return context_.registry.machine().hostPath(windowsPath);
}

std::string FileCopier::windowsPathOf(const fs::path& host) const {
    return context_.registry.machine().windowsPath(host);
}

std::optional<fs::path> FileCopier::destinationOf(const CopyRequest& request) const {
    return request.destinationHost ? request.destinationHost : hostPathOf(request.destination);
}

bool FileCopier::copiedInThisRun(const std::string& windowsPath) const {
    const std::optional<fs::path> host = hostPathOf(windowsPath);
    return host && copied_.count(*host) > 0;
}

bool FileCopier::fail(int message, const std::vector<MessageArg>& args, const std::string& reason) {
    context_.messages.show(message, args, reason);
    return false;
}

bool FileCopier::copy(const CopyRequest& request) {
    if (context_.run.abort) return false;
    if (context_.run.commandList) return listFile(request);
    if (hasRefusedCharacter(request.destination))
        return fail(messages::kCannotCreateFile, {request.destination},
                    std::string(kRefusedCharacterReason));
    const std::optional<fs::path> host = destinationOf(request);
    if (!host) return fail(messages::kCannotCreateFile, {request.destination});
    std::error_code error;
    const bool existed = fs::exists(fs::symlink_status(*host, error));
    const std::uint32_t flags = request.flags.file;
    if (existed && (flags & kDontReplace)) return skipped(request);
    if (existed && quickSkip(request, *host)) return skipped(request);
    const std::string& source = request.source.path;
    if (services_.hook && services_.hook->notify(kBeforeCopy, source, request.destination) == 0)
        return skipped(request);
    if ((flags & kOptional) && sourceMissing(request)) return skipped(request);
    if (!makeDirectory(std::string(platform::directoryPart(request.destination)),
                       host->parent_path()))
        return false;
    progress_.copying(source, request.destination);
    if (flags & kAppend) return append(request, *host, existed);

    std::optional<Target> target = openTemporary(request, *host);
    if (!target) return false;
    RemoveUnlessKept temporary(target->path);
    const bool searchMarkers =
        (flags & kSetUserInfo) &&
        !platform::equalsIgnoreAsciiCase(platform::fileNamePart(request.destination), "SETUP.EXE");
    UserInfoMarkers markers;
    TargetSink sink(*target->file, progress_, meter_, searchMarkers ? &markers : nullptr);
    const SourceResult<SourceFacts> read = services_.sources.read(request.source, sink);
    if (!read) return sourceFailed(request, read.error(), sink);
    if (auto closed = target->file->close(existed); !closed)
        return fail(messages::kCannotWriteFile, {request.destination}, closed.error());
    if (!finishTarget(request, *target, *read, markers)) return false;
    if (!sizeAccepted(request, sink.written())) return false;
    if ((flags & kCheckRtVersion) && runtimeCheck_) rememberForRuntimeCheck(request, target->path);
    if (existed && !(flags & kAlways) &&
        services_.replacement.judge(target->path, *host, request.destination, flags) ==
            Replacement::Keep)
        return true;  // the temporary file goes; the existing one stays
    if (!putInPlace(request, *target, *host, existed)) return false;
    temporary.keep();
    copied_.insert(*host);
    return followUps(request, *host, existed);
}

// A file not copied still moves the meter, which counts every file's expected size.
bool FileCopier::skipped(const CopyRequest& request) {
    meter_.done += request.source.expectedSize;
    progress_.setProgress(meter_.done, meter_.total);
    return true;
}

// An existing destination dated exactly like its source is the same file: copied again only
// when the line writes user data into it, the script asks for it, or its size is off.
bool FileCopier::quickSkip(const CopyRequest& request, const fs::path& host) {
    if ((request.flags.file & kSetUserInfo) || context_.settings.copyExistingFiles) return false;
    const SourceResult<SourceFacts> found = services_.sources.find(request.source);
    std::error_code error;
    const fs::file_time_type written = fs::last_write_time(host, error);
    if (!found || error || found->modified != written) return false;
    const std::uint64_t expected = request.source.expectedSize;
    return expected == 0 || (request.flags.file & kNoSizeWarning) ||
           fs::file_size(host, error) == expected;
}

bool FileCopier::sourceMissing(const CopyRequest& request) {
    const SourceResult<SourceFacts> found = services_.sources.find(request.source);
    return !found && isMissing(found.error().kind);
}

bool FileCopier::makeDirectory(const std::string& windowsPath, const fs::path& host) {
    std::error_code error = platform::journaled::createFolders(host);
    if (!error && fs::is_directory(host, error)) return true;
    return fail(messages::kCannotCreateDirectory, {windowsPath},
                error ? error.message() : "a file of that name is there");
}

// APPEND writes at the end of the destination itself: no temporary file and no replacement
// checks. A failed copy cuts the file back to its old length (or removes the file it made),
// so nothing half is left.
bool FileCopier::append(const CopyRequest& request, const fs::path& host, bool existed) {
    auto opened = outputs_.open(host, OutputMode::Append);
    if (!opened)
        return fail(messages::kCannotCreateFile, {request.destination}, opened.error().message());
    OutputFile& file = **opened;
    TargetSink sink(file, progress_, meter_, nullptr);
    const SourceResult<SourceFacts> read = services_.sources.read(request.source, sink);
    const auto closed = file.close(existed);
    if (read && closed) {
        copied_.insert(host);
        return followUps(request, host, existed);
    }
    std::error_code ignored;
    if (!existed)
        fs::remove(host, ignored);
    else
        fs::resize_file(host, file.startLength(), ignored);
    if (!read) return sourceFailed(request, read.error(), sink);
    return fail(messages::kCannotWriteFile, {request.destination}, closed.error());
}

std::optional<FileCopier::Target> FileCopier::openTemporary(const CopyRequest& request,
                                                            const fs::path& host) {
    std::error_code last;
    for (int number = 0; number < kTemporaryNames; ++number) {
        fs::path path = temporaryName(host, request.destination.size(), number);
        auto opened = outputs_.open(path, OutputMode::NewFile);
        if (opened) return Target{path, std::move(*opened)};
        last = opened.error();
        if (last != std::errc::file_exists) break;
    }
    fail(messages::kCannotCreateFile, {request.destination}, last.message());
    return std::nullopt;
}

bool FileCopier::sourceFailed(const CopyRequest& request, const SourceError& error,
                              const TargetSink& sink) {
    const std::string& source = request.source.path;
    switch (error.kind) {
        case SourceError::Kind::Missing:
            if (request.flags.file & kOptional) return true;
            return fail(messages::kCannotOpenFile, {source});
        case SourceError::Kind::MemberMissing:
            if (request.flags.file & kOptional) return true;
            return fail(messages::kMemberMissing, {request.source.name, windowsPathOf(error.file)});
        case SourceError::Kind::Unreadable:
            return fail(messages::kCannotReadFile, {source}, error.message);
        case SourceError::Kind::Interrupted:
            if (sink.stop() == TargetSink::Stop::WriteFailed)
                return fail(messages::kCannotWriteFile, {request.destination}, sink.failure());
            return false;  // cancelled: the abort flag is set already
        case SourceError::Kind::Cancelled:
            context_.run.abort = true;
            return false;
    }
    return false;
}

// User data, variables, then the source's times and attributes: set last, so that the
// rewrites before do not leave the copy dated now.
bool FileCopier::finishTarget(const CopyRequest& request, const Target& target,
                              const SourceFacts& facts, const UserInfoMarkers& markers) {
    const std::uint32_t flags = request.flags.file;
    if (markers.user() || markers.company()) {
        const auto put = writeUserInfo(target.path, markers, context_.variables.value("User"),
                                       context_.variables.value("Company"));
        if (!put) return fail(messages::kCannotWriteFile, {request.destination}, put.error());
    }
    const bool replaceVars = (flags & kReplaceVars) && (!context_.run.admin || (flags & kAdmin));
    if (replaceVars) {
        const Expander expander = context_.expander();
        const auto replaced = replaceVariablesInFile(
            target.path, [&expander](std::string_view line) { return expander.expand(line); });
        if (!replaced)
            return fail(messages::kCannotWriteFile, {request.destination}, replaced.error());
    }
    const auto applied = applyTimesAndAttributes(target.path, facts, request.flags.attributes);
    if (!applied) return fail(messages::kCannotWriteFile, {request.destination}, applied.error());
    return true;
}

// A size that differs from the script's is put on the clipboard for correcting the script.
bool FileCopier::sizeAccepted(const CopyRequest& request, std::uint64_t written) {
    const std::uint64_t expected = request.source.expectedSize;
    if (expected == 0 || written == expected) return true;
    meter_.done = meter_.done - written + expected;  // the meter counted expected sizes
    if ((request.flags.file & kNoSizeWarning) || context_.run.silent) return true;
    context_.ui().setClipboardText(std::to_string(written));
    return context_.messages.show(messages::kSizeIncorrect,
                                  {request.source.name, static_cast<std::int64_t>(expected),
                                   static_cast<std::int64_t>(written)}) == buttons::kIgnore;
}

// The new file takes the destination's name in one rename, so a reader sees the old file or
// the new one, never neither. A destination in use is replaced at the next start.
bool FileCopier::putInPlace(const CopyRequest& request, const Target& target, const fs::path& host,
                            bool existed) {
    if (existed) {
        if (services_.inUse.inUse(host)) return scheduleReplacement(request, target);
        (void)platform::setFileAttributes(host, 0);  // Wine's read-only would refuse the rename
    }
    const std::error_code renamed = platform::journaled::rename(target.path, host);
    if (!renamed) return true;
    if (existed && failsAsInUse(renamed.value())) return scheduleReplacement(request, target);
    fail(messages::kCannotRename, {windowsPathOf(target.path), request.destination},
         renamed.message());
    return false;
}

bool FileCopier::scheduleReplacement(const CopyRequest& request, const Target& target) {
    const std::string temporary = windowsPathOf(target.path);
    if (services_.inUse.scheduleAtRestart(temporary, request.destination)) return true;
    return fail(messages::kCannotRename, {temporary, request.destination});
}

// The version the line brings is read now: the replacement decision may drop the new file.
void FileCopier::rememberForRuntimeCheck(const CopyRequest& request, const fs::path& copied) {
    std::optional<std::uint64_t> brought;
    if (auto info = platform::VersionInfo::read(copied)) brought = info->fixed().fileVersion;
    runtimeCheck_->remember(request.destination, brought);
}

bool FileCopier::followUps(const CopyRequest& request, const fs::path& host, bool existed) {
    const std::uint32_t flags = request.flags.file;
    if (context_.run.admin) return true;
    const InstalledFile file{request.destination, host, request.flags, request.extra, existed};
    if (!services_.followUps.installed(file)) return false;
    if (!(flags & kSetupHook) || !services_.hook) return true;
    return services_.hook->notify(kAfterCopy, request.source.path, request.destination) != 0;
}

}  // namespace kestrel::setup::copy

namespace kestrel::setup::copy {

bool FileCopier::create(const CopyRequest& request) {
    if (context_.run.abort) return false;
    if (context_.run.commandList) return true;  // such a run changes nothing
    const std::optional<fs::path> host = hostPathOf(request.destination);
    if (!host) return fail(messages::kCannotCreateFile, {request.destination});
    const std::uint32_t attributes = request.flags.attributes;
    const bool directory = (request.flags.file & kDirectory) ||
                           (!request.destination.empty() && request.destination.back() == '\\');
    if (hasRefusedCharacter(request.destination))
        return fail(directory ? messages::kCannotCreateDirectory : messages::kCannotCreateFile,
                    {request.destination}, std::string(kRefusedCharacterReason));
    if (directory) {
        if (!makeDirectory(request.destination, *host)) return false;
        // A directory without write bits would refuse the files meant to go into it, and
        // Windows does not keep files out of a read-only directory: only hidden and system.
        const auto set = platform::setFileAttributes(
            *host, attributes & (attrflag::kHidden | attrflag::kSystem));
        if (!set) return fail(messages::kCannotCreateDirectory, {request.destination}, set.error());
        return true;
    }
    if (!makeDirectory(std::string(platform::directoryPart(request.destination)),
                       host->parent_path()))
        return false;
    const int majorVersion = context_.registry.machine().windowsVersion().major;
    if (majorVersion >= 4 && platform::hasExtension(request.destination, ".gid"))
        return buildHelpIndex(request, *host);
    // An existing file keeps its content: the line asks for the file to be there, and what
    // someone wrote into it is not the installer's to throw away.
    platform::journaled::beforeChange(*host);
    const int fd = ::open(host->c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return fail(messages::kCannotCreateFile, {request.destination}, std::strerror(errno));
    ::close(fd);
    const auto set = platform::setFileAttributes(
        *host, attributes & (attrflag::kReadOnly | attrflag::kHidden | attrflag::kSystem));
    if (!set) return fail(messages::kCannotCreateFile, {request.destination}, set.error());
    return true;
}

// Windows 4.0 and later build a help file's index (.gid) themselves when the help program is
// started with -g; here that program is Wine's, and without Wine the index is left for the
// first time the help file is opened.
bool FileCopier::buildHelpIndex(const CopyRequest& request, const fs::path& host) {
    (void)host;
    std::string helpFile = request.destination;
    helpFile.replace(helpFile.size() - 3, 3, "hlp");
    auto ran = context_.registry.machine().runThroughWine({"WinHlp32.exe", "-g", helpFile},
                                                          std::chrono::minutes(1));
    if (!ran)
        context_.messages.note(
            "The help index %s is not built now (%s); the help program builds "
            "it when the help file is first opened.",
            {request.destination, ran.error()});
    return true;
}

bool FileCopier::uninstall(const CopyRequest& request) {
    if (context_.run.abort) return false;
    // What stays (DONTREPLACE under /X2, a shared file still counted) the follow-ups decide.
    progress_.deleting(request.destination);
    const InstalledFile file{request.destination, destinationOf(request).value_or(fs::path()),
                             request.flags, request.extra, true};
    if (services_.followUps.uninstall(file)) return true;
    context_.run.abort = true;
    return false;
}

// A command-list run copies nothing: it writes what it would copy.
bool FileCopier::listFile(const CopyRequest& request) {
    if (!commandList_) return fail(messages::kCannotWriteFile, {request.destination});
    const SourceResult<SourceFacts> found = services_.sources.find(request.source);
    if (!found && (request.flags.file & kOptional) && isMissing(found.error().kind)) return true;
    CommandList::Entry entry;
    entry.name = request.source.name;
    entry.destination = request.destination;
    entry.source = windowsPathOf(found ? found->file : request.source.file);
    entry.cabinetMember = found && found->origin == SourceFacts::Origin::CabinetMember;
    std::error_code error;
    const std::uint64_t size = fs::file_size(request.source.file, error);
    entry.compressed = (found && found->origin == SourceFacts::Origin::Compressed) ||
                       (!error && size < request.source.expectedSize);
    if (commandList_->add(entry)) return true;
    return fail(messages::kCannotWriteFile, {commandList_->name()});
}

}  // namespace kestrel::setup::copy
