#pragma once

#include <map>
#include <string>

#include "platform/MachineRoot.h"

namespace kestrel::setup::test {

// Everything an installation may change on a machine root, taken at one moment so that two
// moments can be compared: every file, folder and link below the prefix (files with their
// contents, mode, extended attributes such as user.DOSATTRIB and modification time; folders
// with mode and attributes, not times, which any file made and removed inside changes; links
// with their targets, never followed) and every key and value of the registry, read
// through the registry itself. The hive files are left out: they carry time stamps, and the
// registry's content is compared instead.
class MachineSnapshot {
  public:
    static MachineSnapshot take(const platform::MachineRoot& machine);

    // Leaves out what Wine itself rewrites whenever a session of the prefix starts, as
    // setup's runs start one: the devices it finds (displays, input devices), their classes,
    // drivers and the drivers' dates, and the menu files its menu builder notes for each user.
    MachineSnapshot& withoutWineSessionState();

    // What changed from this snapshot to `later`, one entry a line, sorted: "- " what was
    // there before, "+ " what is there now. Empty when nothing changed.
    std::string differencesTo(const MachineSnapshot& later) const;

  private:
    void addFiles(const std::filesystem::path& prefix);
    void addRegistry(const platform::Registry& registry);

    // "file drive_c/x.txt", "value HKLM\Software\X:Name"... -> its state, readable.
    std::map<std::string, std::string> entries_;
};

}  // namespace kestrel::setup::test
