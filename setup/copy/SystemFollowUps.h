#pragma once

#include "copy/CopyServices.h"
#include "copy/FileRemoval.h"
#include "copy/RegistrationHooks.h"
#include "ops/OperationContext.h"

namespace kestrel::setup::copy {

// What a file line means to the system beyond the file itself: after a copy the font entry,
// the shared-file count with self-registration and the service; at uninstallation the count
// going down, the question whether an unused shared file goes, and the removal (registration,
// service, font, the file with its help side files and emptied folders). Create lines and
// DELETE lines are removed here too: a directory (whole with CASCADED), files by wildcard.
// The registry is changed through the context's registry services, so the changes reach the
// hives at the run's save point.
class SystemFollowUps final : public FileFollowUps {
  public:
    SystemFollowUps(OperationContext& context, InUseFiles& inUse, RegistrationHooks& registration)
        : context_(context),
          registration_(registration),
          removal_(context.registry.machine(), inUse, context.messages, context.run) {}

    bool installed(const InstalledFile& file) override;
    bool uninstall(const InstalledFile& file) override;

  private:
    // The file's host path (resolved when the caller gave none), never ending in a separator.
    std::filesystem::path hostOf(const InstalledFile& file) const;
    bool deleteFiles(const InstalledFile& file);
    bool removeSharedFile(const InstalledFile& file);
    bool removeFile(const InstalledFile& file);
    void removeDirectory(const InstalledFile& file);
    // Yes, or All now or earlier in the run; silent runs answer Yes.
    bool confirmUnused(const InstalledFile& file);

    OperationContext& context_;
    RegistrationHooks& registration_;
    FileRemoval removal_;
};

}  // namespace kestrel::setup::copy
