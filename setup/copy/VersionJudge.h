#pragma once

#include "copy/CopyServices.h"
#include "messages/MessageEngine.h"
#include "platform/MachineRoot.h"
#include "script/RunState.h"

namespace kestrel::setup::copy {

// Whether a new file replaces the one at its destination: by version resource (operating
// system, version, language), else by date, asking the person where the new file would be a
// step back. The None answer to any of the four questions is remembered for the rest of the
// run (one judge per run) and answers every later question with No, as a silent run does.
class VersionJudge final : public ReplacementJudge {
  public:
    VersionJudge(MessageEngine& messages, const RunState& run, const platform::MachineRoot& machine)
        : messages_(messages), run_(run), machine_(machine) {}

    [[nodiscard]] Replacement judge(const std::filesystem::path& newFile,
                                    const std::filesystem::path& existing, const std::string& name,
                                    std::uint32_t fileFlags) override;

  private:
    enum class Verdict { NoVersionInformation, Keep, Replace };
    Verdict compareVersions(const std::filesystem::path& newFile,
                            const std::filesystem::path& existing, const std::string& name);
    Replacement compareDates(const std::filesystem::path& newFile,
                             const std::filesystem::path& existing, const std::string& name,
                             std::uint32_t fileFlags);
    // Yes replaces; No, None and no question at all (silent, None before) keep.
    bool ask(int message, const std::vector<MessageArg>& args);

    MessageEngine& messages_;
    const RunState& run_;
    const platform::MachineRoot& machine_;
    bool answeredNone_ = false;
};

}  // namespace kestrel::setup::copy
