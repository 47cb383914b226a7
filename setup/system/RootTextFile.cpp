#include "system/RootTextFile.h"

#include "messages/MessageStrings.h"
#include "ops/FileChange.h"
#include "platform/AtomicFile.h"
#include "platform/JournaledFiles.h"
#include "platform/Places.h"

namespace kestrel::setup {

namespace fs = std::filesystem;

RootTextFile::RootTextFile(OperationContext& context, std::string windowsPath)
    : context_(context),
      windowsPath_(std::move(windowsPath)),
      host_(context.registry.machine().hostPath(windowsPath_)) {}

std::optional<std::string> RootTextFile::read() {
    std::error_code error;
    existed_ = host_ && fs::exists(*host_, error);
    if (!host_ || error || (existed_ && !fs::is_regular_file(*host_, error))) {
        context_.messages.show(messages::kCannotCreateFile, {windowsPath_});
        return std::nullopt;
    }
    if (!existed_) return std::string();
    std::optional<std::string> content = platform::readWholeFile(*host_);
    if (!content) {
        context_.messages.show(messages::kCannotReadFile, {windowsPath_});
        return std::nullopt;
    }
    original_ = *content;
    return content;
}

bool RootTextFile::write(const std::string& text) {
    if (!host_ || text == original_) return true;
    if (text.empty()) {
        if (!platform::journaled::removeFile(*host_)) {
            removeEmptyFolders(context_.registry.machine(), host_->parent_path());
            return true;
        }
    } else if (changeKeepingAttributes(*host_, [&] {
                   return !platform::ensureDirectory(host_->parent_path()) &&
                          !platform::writeFileAtomically(*host_, text);
               })) {
        return true;
    }
    context_.messages.show(existed_ ? messages::kCannotWriteFile : messages::kCannotCreateFile,
                           {windowsPath_});
    return false;
}

}  // namespace kestrel::setup
