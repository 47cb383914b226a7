#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ops/Operation.h"
#include "ops/StartupLine.h"

namespace kestrel::setup {

// A CONFIG.SYS or batch-file section on its file, as a whole: the file is read once, the
// lines are applied in order (from the last to the first at uninstallation, where '-' lines
// do nothing and the others take their entry away), and the text replaces the file once at
// the end. Cancel between lines stops there, keeping what was done. CONFIG.SYS sections do
// nothing in administrator installations, command-list runs and per-user parts; a section
// with a CONFIG.SYS line that is none of the allowed forms is refused with message 5531 at
// installation and changes nothing. A file made empty by an uninstallation is deleted.
class StartupFileOperation : public Operation {
  public:
    struct Target {
        bool configSys = false;
        std::string file;              // batch files: the Windows path (CONFIG.SYS: per run)
        bool restartOnChange = false;  // the system reads the file only when it starts
        bool shortPaths = false;       // PATH directories in their 8.3 form (95/98)
    };

    StartupFileOperation(Target target, std::vector<StartupLine> lines,
                         std::optional<std::string> refusedLine)
        : target_(std::move(target)),
          lines_(std::move(lines)),
          refusedLine_(std::move(refusedLine)) {}

    bool install(OperationContext& context) override { return run(context, Direction::Install); }
    bool uninstall(OperationContext& context) override {
        return run(context, Direction::Uninstall);
    }

  private:
    bool run(OperationContext& context, Direction direction);
    // The Windows path of the file this run edits.
    std::string file(OperationContext& context) const;
    // The line as it acts on this root: PATH directories short where they must be.
    StartupLine onRoot(OperationContext& context, const StartupLine& line) const;
    // Replaces the file with the edited text; false (after saying so) when it cannot.
    bool write(OperationContext& context, const std::string& file,
               const std::filesystem::path& host, const std::string& text, bool existed) const;

    Target target_;
    std::vector<StartupLine> lines_;
    std::optional<std::string> refusedLine_;
};

}  // namespace kestrel::setup
