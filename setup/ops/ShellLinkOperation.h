#pragma once

#include "ops/LinkLine.h"
#include "ops/LinkServices.h"
#include "ops/Operation.h"
#include "platform/ShellLink.h"

namespace kestrel::setup {

// One line of an Explorer link section: at installation a shell link (.lnk) in the root's
// shell folders, written as the system's shell-link object saves it; at uninstallation the
// link file (or the .pif of the same name) removed with the folders it leaves empty.
class ShellLinkOperation : public Operation {
  public:
    ShellLinkOperation(LinkEntry entry, LinkServices& services)
        : entry_(std::move(entry)), services_(services) {}

    bool install(OperationContext& context) override;
    bool uninstall(OperationContext& context) override;
    const LinkEntry& entry() const { return entry_; }

  private:
    bool applies(const OperationContext& context) const;
    // ShowShellFolder, before the run's first link.
    void showShellFolder(OperationContext& context);

    LinkEntry entry_;
    LinkServices& services_;
};

// Writes a link file (texts in UTF-8, as platform::ShellLink holds them) at a Windows path:
// the folder is made with all parents (5507 when it cannot be: false), then the link,
// replacing an existing file (5534 when it cannot be written: Ignore gives true, anything
// else false). The main flow makes the workstation links with it too.
bool createLinkFile(OperationContext& context, const std::string& path,
                    const platform::ShellLink& link);

// The Windows path of the programs folder the script's links lie in (%Programs%).
std::string programsFolder(const OperationContext& context);

// The folders link removal never takes away, however empty: the root's own folders and the
// shell folders of the user the run works for.
std::vector<std::filesystem::path> keptFolderHostPaths(const OperationContext& context);

}  // namespace kestrel::setup
