#include "system/IpFileOperations.h"

#include <string>
#include <vector>

#include "messages/MessageStrings.h"
#include "ops/StartupLine.h"
#include "plan/SectionReader.h"
#include "system/IpEntries.h"
#include "system/RootTextFile.h"

namespace kestrel::setup {

namespace {

// The whole section is one edit of its file: read once, every line applied, written once.
class IpFileOperation final : public Operation {
  public:
    IpFileOperation(std::string file, std::size_t keyWords, std::vector<std::string> entries)
        : file_(std::move(file)), keyWords_(keyWords), entries_(std::move(entries)) {}

    bool install(OperationContext& context) override { return edit(context, true); }
    bool uninstall(OperationContext& context) override { return edit(context, false); }

  private:
    bool edit(OperationContext& context, bool installing) {
        context.ui().setProgressText(context.script.displayName(), file_);
        RootTextFile file(context, file_);
        const std::optional<std::string> text = file.read();
        if (!text) return false;
        TextFileLines lines = TextFileLines::parse(*text);
        const std::size_t count = entries_.size();
        for (std::size_t i = 0; i < count; ++i) {
            const std::string_view entry = entries_[installing ? i : count - 1 - i];
            const bool removal = entry.front() == '-';
            // What the installation removed is not put back: the file never said what it was.
            if (removal && !installing) continue;
            if (removal) {
                removeIpEntry(lines, entry.substr(1), keyWords_);
            } else if (installing) {
                addIpEntry(lines, entry, keyWords_);
            } else {
                removeIpEntry(lines, entry, keyWords_);
            }
        }
        return file.write(lines.serialise());
    }

    std::string file_;
    std::size_t keyWords_;
    std::vector<std::string> entries_;
};

// NT keeps the files in the system folder's Drivers\Etc. A 32-bit program on a 64-bit
// system reaches the same folder through System32, which is not redirected for it.
std::string databasePath(const platform::MachineRoot& machine, std::string_view file) {
    const std::string folder = machine.windowsVersion().isNT()
                                   ? machine.windowsDirectory() + "\\system32\\Drivers\\Etc"
                                   : machine.windowsDirectory();
    return folder + "\\" + std::string(file);
}

}  // namespace

SectionReading IpFileOperations::reading() {
    return {[this](std::string_view section, Direction) { return readSection(section); }};
}

std::optional<PlanStep> IpFileOperations::readSection(std::string_view section) {
    OperationContext& context = services_.context;
    const std::optional<IpDatabase> database = ipDatabaseOf(section);
    if (!database) {
        context.messages.show(messages::kSectionNotFound, {section});
        return std::nullopt;
    }
    const std::string file = databasePath(context.registry.machine(), database->file);
    const SectionKind kind{256, strings::kWorkingOn, true, "IP"};
    return readSectionStep(context, section, kind,
                           [&](const std::vector<ScriptLine>& lines, const Expander& expander) {
                               std::vector<std::string> entries;
                               for (const ScriptLine& line : lines) {
                                   if (isSectionKeyLine(line.text, {"Caption"})) continue;
                                   std::string entry = expander.expand(lineText(line.text));
                                   if (!entry.empty() && entry != "-")
                                       entries.push_back(std::move(entry));
                               }
                               OperationList operations;
                               operations.push_back(std::make_unique<IpFileOperation>(
                                   file, database->keyWords, std::move(entries)));
                               return operations;
                           });
}

}  // namespace kestrel::setup
