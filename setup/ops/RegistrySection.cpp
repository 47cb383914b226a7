#include "ops/RegistrySection.h"

#include "messages/MessageStrings.h"
#include "ops/RegistryOperation.h"
#include "ops/SectionUsage.h"

namespace kestrel::setup {

namespace {

// Registry lines can carry 8192 bytes of data written as hexadecimal.
constexpr std::size_t kRegistryLineSize = 4 * kMaxRegistryData;

// The window title while the section runs; restored however the section ends.
class TitleScope {
  public:
    TitleScope(OperationContext& context, std::string title)
        : context_(context), previous_(context.title) {
        context_.setTitle(std::move(title));
    }
    ~TitleScope() { context_.setTitle(previous_); }
    TitleScope(const TitleScope&) = delete;
    TitleScope& operator=(const TitleScope&) = delete;

  private:
    OperationContext& context_;
    std::string previous_;
};

// The changes reach the hive files here; a failure to write them is never silent.
bool saveRegistry(OperationContext& context, Direction direction) {
    const auto saved = context.registry.save();
    if (saved) return true;
    const int message =
        direction == Direction::Install ? messages::kCannotCreateKey : messages::kCannotDeleteKey;
    return context.messages.show(message, {saved.error().message, saved.error().code}) ==
           buttons::kIgnore;
}

}  // namespace

OperationList readRegistrySection(OperationContext& context, std::string_view section,
                                  bool machineWide) {
    OperationList operations;
    const Expander expander = context.expander();
    for (const ScriptLine& line : context.script.sectionLines(section, kRegistryLineSize)) {
        if (line.text.empty()) continue;
        if (auto entry = parseRegistryLine(line.text, expander)) {
            operations.push_back(
                std::make_unique<RegistryOperation>(std::move(*entry), machineWide));
        }
    }
    return operations;
}

bool processRegistrySection(OperationContext& context, std::string_view section,
                            Direction direction, bool machineWide) {
    if (!context.script.hasSection(section)) {
        context.messages.show(messages::kSectionNotFound, {section});
        return false;
    }
    SectionUsage usage(context);
    if (direction == Direction::Install) {
        usage.countInstall(section);
    } else if (!usage.countUninstall(section)) {
        return saveRegistry(context, direction);  // still used elsewhere: only the count changes
    }

    const std::string caption = context.script.readValue(section, "Caption").value_or("");
    TitleScope title(context, caption.empty()
                                  ? context.messages.strings().text(strings::kModifyingRegistry)
                                  : context.expander().expand(caption));
    context.ui().setProgressText(context.script.displayName(), std::string(section));
    OperationList operations = readRegistrySection(context, section, machineWide);
    const bool ok = runOperations(operations, context, direction);
    return saveRegistry(context, direction) && ok;
}

}  // namespace kestrel::setup
