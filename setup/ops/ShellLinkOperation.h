#pragma once

#include "ops/LinkLine.h"
#include "ops/LinkServices.h"
#include "ops/Operation.h"

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
    // 5534: Ignore goes on, anything else stops the section.
    bool reportLinkError(OperationContext& context, const std::string& path);

    LinkEntry entry_;
    LinkServices& services_;
};

// The Windows path of the programs folder the script's links lie in (%Programs%).
std::string programsFolder(const OperationContext& context);

// The folders link removal never takes away, however empty: the root's shell folders.
std::vector<std::filesystem::path> shellFolderHostPaths(const OperationContext& context);

}  // namespace kestrel::setup
