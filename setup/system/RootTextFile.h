#pragma once

#include <optional>
#include <string>

#include "ops/OperationContext.h"

namespace kestrel::setup {

// A whole text file of the root that a section rewrites: read once, written back atomically
// (its attributes kept), deleted when it has become empty. Failures are shown as the
// installer's file messages, once.
class RootTextFile {
  public:
    RootTextFile(OperationContext& context, std::string windowsPath);

    // The content ("" for a file that is not there yet); nullopt after the message when the
    // file cannot be read or is no file.
    std::optional<std::string> read();
    // Writes `text` when it differs from what was read; removes the file (and the folders it
    // leaves empty) when `text` is empty. false after the message.
    bool write(const std::string& text);

  private:
    OperationContext& context_;
    std::string windowsPath_;
    std::optional<std::filesystem::path> host_;
    bool existed_ = false;
    std::string original_;
};

}  // namespace kestrel::setup
