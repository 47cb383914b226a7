#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "copy/CommandList.h"
#include "copy/CopyServices.h"
#include "copy/OutputFile.h"
#include "copy/RuntimeVersionCheck.h"
#include "copy/TargetSink.h"
#include "ops/OperationContext.h"
#include "wizard/ProgressWindow.h"

namespace kestrel::setup::copy {

// One file as a file line asks for it, variables expanded and the destination resolved.
struct CopyRequest {
    SourceRequest source;
    std::string destination;  // Windows path
    LineFlags flags;          // with the flags the engine adds
    std::string extra;        // font display name or service definition
    // The destination's host path when the caller has just looked it up (each lookup walks
    // the path component by component, a system call or more each).
    std::optional<std::filesystem::path> destinationHost;
};

// Copies, creates and removes the files of file lines on the machine root. Sources, the
// replacement decision, follow-ups and files in use come through CopyServices; the data go
// through a temporary name beside the destination, so that a failed or cancelled copy never
// leaves half a file under the destination's name nor touches what was there.
class FileCopier {
  public:
    FileCopier(OperationContext& context, ProgressWindow& progress, CopyServices services,
               OutputFiles* outputs = nullptr);

    // A command-list run (/T) writes here what it would copy.
    void setCommandList(CommandList* list) { commandList_ = list; }

    // Installs one file. true when it is in place, was skipped as the line allows, or is kept
    // as the replacement decision says; false when it failed (said to the person) or the
    // run was aborted.
    [[nodiscard]] bool copy(const CopyRequest& request);
    // A CREATE line: an empty file, or a directory with DIRECTORY (or a destination ending
    // in a backslash), with the line's attributes.
    [[nodiscard]] bool create(const CopyRequest& request);
    // The line at uninstallation: the follow-ups remove the file (or leave it, as its flags
    // and count say).
    [[nodiscard]] bool uninstall(const CopyRequest& request);

    // Where CHECKRTVERSION files are remembered, with the version each line brought.
    void setRuntimeCheck(RuntimeVersionCheck* check) { runtimeCheck_ = check; }

    CopyMeter& meter() { return meter_; }
    // Whether a file line of this run wrote the file (Readme is shown only then).
    bool copiedInThisRun(const std::string& windowsPath) const;

  private:
    struct Target;
    std::optional<std::filesystem::path> hostPathOf(const std::string& windowsPath) const;
    // The request's destination on the host, as the caller found it or else looked up now.
    std::optional<std::filesystem::path> destinationOf(const CopyRequest& request) const;
    std::string windowsPathOf(const std::filesystem::path& host) const;
    bool skipped(const CopyRequest& request);
    bool quickSkip(const CopyRequest& request, const std::filesystem::path& host);
    bool sourceMissing(const CopyRequest& request);
    bool makeDirectory(const std::string& windowsPath, const std::filesystem::path& host);
    bool append(const CopyRequest& request, const std::filesystem::path& host, bool existed);
    std::optional<Target> openTemporary(const CopyRequest& request,
                                        const std::filesystem::path& host);
    bool sourceFailed(const CopyRequest& request, const SourceError& error, const TargetSink& sink);
    bool finishTarget(const CopyRequest& request, const Target& target, const SourceFacts& facts,
                      const UserInfoMarkers& markers);
    bool sizeAccepted(const CopyRequest& request, std::uint64_t written);
    bool putInPlace(const CopyRequest& request, const Target& target,
                    const std::filesystem::path& host, bool existed);
    bool scheduleReplacement(const CopyRequest& request, const Target& target);
    void rememberForRuntimeCheck(const CopyRequest& request, const std::filesystem::path& copied);
    bool followUps(const CopyRequest& request, const std::filesystem::path& host, bool existed);
    bool listFile(const CopyRequest& request);
    bool buildHelpIndex(const CopyRequest& request, const std::filesystem::path& host);
    bool fail(int message, const std::vector<MessageArg>& args, const std::string& reason = {});

    OperationContext& context_;
    ProgressWindow& progress_;
    CopyServices services_;
    HostOutputFiles hostFiles_;
    OutputFiles& outputs_;
    CommandList* commandList_ = nullptr;
    std::set<std::filesystem::path> copied_;  // host paths
    CopyMeter meter_;
    RuntimeVersionCheck* runtimeCheck_ = nullptr;
};

}  // namespace kestrel::setup::copy
