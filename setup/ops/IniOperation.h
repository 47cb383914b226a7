#pragma once

#include <filesystem>
#include <string>

#include "ops/IniLine.h"
#include "ops/Operation.h"
#include "platform/ProfileDocument.h"

namespace kestrel::setup {

// One line of an INI section on its file. At installation it writes its entry (a deletion
// line deletes it); at uninstallation it deletes what it wrote (a deletion line then does
// nothing, nor does any line whose file is gone), and then removes a section left without
// keys and a private file left empty, with its empty folders. The list keys of the system's
// files (load and run in Win.ini [windows], drivers in System.ini [boot]) gain and lose one
// item, matched by file name; System.ini's [386Enh] device= lines stand one driver each. A
// change that fails asks "Cannot modify INI file" (5515): Ignore goes on, Cancel fails the
// section.
class IniOperation : public Operation {
  public:
    // `file`: the Windows path of the file the entry is in.
    IniOperation(std::string file, IniEntry entry)
        : file_(std::move(file)), entry_(std::move(entry)) {}

    bool install(OperationContext& context) override;
    bool uninstall(OperationContext& context) override;

  private:
    enum class FileKind { Private, WinIni, SystemIni };
    FileKind kindOf(const platform::MachineRoot& machine, const std::filesystem::path& host) const;
    bool change(OperationContext& context, bool remove, bool uninstalling);
    // Puts the entry into the document or takes it out.
    bool edit(platform::ProfileDocument& document, FileKind kind, bool remove) const;
    bool fail(OperationContext& context) const;

    std::string file_;
    IniEntry entry_;
};

}  // namespace kestrel::setup
