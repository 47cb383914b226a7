#pragma once

#include "copy/DiskPrompt.h"
#include "messages/StringTable.h"
#include "script/Expander.h"
#include "script/ScriptText.h"

namespace kestrel::setup::copy {

// Disk labels from the script's [Disks] section, expanded; "Disk %s" (string 5030) for a
// disk the section does not name.
class ScriptDiskLabels : public DiskLabels {
  public:
    ScriptDiskLabels(const ScriptText& script, Expander expander, const StringTable& strings)
        : script_(script), expander_(std::move(expander)), strings_(strings) {}

    // The label under the whole name, else under the part after its first blank ("Disk 2"
    // is looked up as "Disk 2", then "2").
    std::string label(const std::string& diskName) const override;

  private:
    const ScriptText& script_;
    Expander expander_;
    const StringTable& strings_;
};

}  // namespace kestrel::setup::copy
