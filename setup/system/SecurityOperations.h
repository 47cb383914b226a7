#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "messages/MessageFormat.h"
#include "ops/Operation.h"
#include "plan/SectionReader.h"
#include "platform/LocalAccounts.h"
#include "system/SecurityCommand.h"
#include "system/SystemServices.h"

namespace kestrel::setup {

// The security commands of the root: local groups and users, privileges and file
// permissions, with the usage counts of what installations create. Accounts live in the
// root's account store (platform/LocalAccounts.h), permissions in the files' descriptors
// where Wine keeps them (platform/FileSecurity.h).
class SecurityOperations {
  public:
    explicit SecurityOperations(SystemServices& services) : services_(services) {}

    // How Security sections are read: on NT roots only, under the section usage count.
    SectionReading reading();
    // One command line ("LocalUser.Add(...)"), as a service's account commands give it.
    // Installation carries it out and counts what it adds; uninstallation undoes an Add
    // through its usage count (asking before an account is deleted) and leaves the other
    // methods alone. A failure is shown with the system's text: Ignore goes on (true),
    // Cancel stops (false).
    bool runCommand(std::string_view line, Direction direction);

  private:
    std::optional<PlanStep> readSection(std::string_view section);
    // A message was shown already; the line is done with.
    static constexpr long kReported = -1;

    // A command with its arguments expanded, in the script's code page; the account store
    // takes them in UTF-8.
    struct Call {
        const SecurityCommand& command;
        const platform::CodePage& codePage;
        std::vector<std::string> arguments;
        const std::string& operator[](std::size_t index) const;
        std::string utf8(std::size_t index) const { return codePage.toUtf8((*this)[index]); }
    };

    long install(const Call& call);
    long uninstall(const Call& call);
    long addUser(const Call& call, bool modify);
    long editFileDacl(const Call& call);
    std::optional<std::uint32_t> flags(std::string_view text, const std::vector<FlagName>& table);
    // The question before an account object no installation uses any more is deleted.
    bool confirmDelete(int message, const std::vector<MessageArg>& args);
    bool report(std::string_view shownLine, long error);
    platform::LocalAccounts& accounts();
    Call prepare(const SecurityCommand& command);

    SystemServices& services_;
    std::optional<platform::LocalAccounts> accounts_;  // made by the first command
    bool deleteAllUnused_ = false;                     // All to one of the questions
};

}  // namespace kestrel::setup
