#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/CodePage.h"
#include "platform/RegistryKey.h"

namespace kestrel::setup {

// The environment the installer reads and sets (string sections, prompts, Set), and that
// the programs it starts inherit. The installer writes names in capitals.
class Environment {
  public:
    virtual ~Environment() = default;
    virtual std::optional<std::string> get(std::string_view name) const = 0;
    // False when the entry cannot be made (a name with "=" or a zero byte).
    virtual bool set(std::string_view name, std::string_view value) = 0;
};

// The process's own environment. It holds UTF-8, as the host and the programs we start
// (Wine among them) read it; the installer sees it in the root's code page.
class ProcessEnvironment : public Environment {
  public:
    void setCodePage(const platform::CodePage& codePage) { codePage_ = &codePage; }

    std::optional<std::string> get(std::string_view name) const override;
    bool set(std::string_view name, std::string_view value) override;

  private:
    const platform::CodePage* codePage_ = &platform::CodePage::windows1252();
};

// An environment in memory, names compared without case (for tests and dry runs).
class MemoryEnvironment : public Environment {
  public:
    std::optional<std::string> get(std::string_view name) const override;
    bool set(std::string_view name, std::string_view value) override;

  private:
    std::map<std::string, std::string, platform::RegistryNameLess> values_;
};

// Replaces %NAME% by the environment's value where there is one; other text, and
// references to names that are not set, stay as they are.
std::string expandEnvironmentStrings(std::string_view text, const Environment& environment);

}  // namespace kestrel::setup
