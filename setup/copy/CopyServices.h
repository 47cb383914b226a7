#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "copy/CabinetSource.h"
#include "copy/DataSink.h"
#include "copy/FileLine.h"
#include "copy/SourceError.h"

// What the copy engine (copy/FileCopier.h) asks of the rest of the installer, one interface
// per concern so that each has one owner and tests can stand in for it.
namespace kestrel::setup::copy {

// One source as a file line names it, after variables and the source prefix.
struct SourceRequest {
    int disk = 0;                    // picks the cabinet when the file is not on its own
    std::string name;                // relative to the source directory, as written
    std::string path;                // the source's Windows path (the LZ rule counts its length)
    std::filesystem::path file;      // the host file the name stands for in the source directory
    std::uint64_t expectedSize = 0;  // 0 = not given
    bool expand = false;             // LZ expansion allowed (EXPAND, or [Application] Expand)
    bool cabinetAllowed = true;      // false for the copy an administrator installation left
};

// What was found for a source, before or after its data were read.
struct SourceFacts {
    enum class Origin { File, Compressed, CabinetMember };
    Origin origin = Origin::File;
    std::filesystem::path file;  // the plain or compressed file, or the cabinet
    std::uint64_t length = 0;    // of the data it gives (expanded length for LZ files)
    // For a file: its modification time; for a member: its date and time (local time).
    std::filesystem::file_time_type modified{};
    std::optional<CabinetMember> member;
};

// Plain files, LZ-compressed files and cabinet members (with the disk prompts of cabinet
// sets); keeps the open cabinets and the cabinet counter for the whole run.
class SourceReader {
  public:
    virtual ~SourceReader() = default;
    // Whether and where the source exists, without reading its data (the quick skip, the
    // OPTIONAL check). Kind::Missing / MemberMissing when it does not.
    [[nodiscard]] virtual SourceResult<SourceFacts> find(const SourceRequest& request) = 0;
    // Passes the source's data (expanded) to `sink`.
    [[nodiscard]] virtual SourceResult<SourceFacts> read(const SourceRequest& request,
                                                         DataSink& sink) = 0;
};

// Whether a new file replaces the existing destination (version, operating system, language
// and date, with their questions and the remembered None answer).
enum class Replacement { Replace, Keep };
class ReplacementJudge {
  public:
    virtual ~ReplacementJudge() = default;
    // `newFile` is the copied temporary file, `existing` the destination, `name` the
    // destination's Windows path for the questions.
    [[nodiscard]] virtual Replacement judge(const std::filesystem::path& newFile,
                                            const std::filesystem::path& existing,
                                            const std::string& name, std::uint32_t fileFlags) = 0;
};

// A file the engine put in place (or, at uninstallation, finds there).
struct InstalledFile {
    std::string destination;     // Windows path
    std::filesystem::path host;  // the same file on the host
    LineFlags flags;
    std::string extra;           // font display name or service definition
    bool existedBefore = false;  // the destination was there before the copy
};

// What follows a copy and what undoes it: fonts, the shared-file count, self-registration and
// services (the last two through the system operations once they exist).
class FileFollowUps {
  public:
    virtual ~FileFollowUps() = default;
    // After a successful copy; false fails the file (Cancel in a message).
    [[nodiscard]] virtual bool installed(const InstalledFile& file) = 0;
    // A file line at uninstallation: the count, the question, the removal. false when the
    // person cancelled.
    [[nodiscard]] virtual bool uninstall(const InstalledFile& file) = 0;
};

// Files in use: detected as the host layer says, replaced or deleted at the next start of the
// machine root.
class InUseFiles {
  public:
    virtual ~InUseFiles() = default;
    [[nodiscard]] virtual bool inUse(const std::filesystem::path& host) = 0;
    // Schedules moving `from` over `to` (Windows paths), or deleting `from` without `to`, and
    // sets the restart flag. false when it could not be scheduled.
    [[nodiscard]] virtual bool scheduleAtRestart(const std::string& from,
                                                 const std::optional<std::string>& to) = 0;
};

// The installer's extension, when one is loaded: notification 2 before a copy (0 skips the
// file), 3 after a copy with SETUPHOOK (its result is the file's).
class CopyHook {
  public:
    virtual ~CopyHook() = default;
    [[nodiscard]] virtual int notify(int notification, const std::string& source,
                                     const std::string& destination) = 0;
};

struct CopyServices {
    SourceReader& sources;
    ReplacementJudge& replacement;
    FileFollowUps& followUps;
    InUseFiles& inUse;
    CopyHook* hook = nullptr;  // no extension loaded
};

}  // namespace kestrel::setup::copy
