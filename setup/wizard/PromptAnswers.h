#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrel::setup {

// The answers of the run's prompts, one entry per prompt (names compared without case);
// they become the values of Setup\Prompts when an installation is recorded.
struct PromptAnswer {
    std::string name;
    std::string value;
    bool fromFallback = false;  // the prompt's fallback value, left as it was offered
};

class PromptAnswers {
  public:
    // Adds the answer or replaces the earlier one to the same prompt.
    void put(std::string_view name, std::string value, bool fromFallback);
    const PromptAnswer* find(std::string_view name) const;
    const std::vector<PromptAnswer>& entries() const { return entries_; }

  private:
    std::vector<PromptAnswer> entries_;
};

}  // namespace kestrel::setup
