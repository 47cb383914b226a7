#pragma once

#include "copy/CabinetSet.h"
#include "copy/FileCopier.h"
#include "copy/MachineInUseFiles.h"
#include "copy/ProductSources.h"
#include "copy/RegistrationHooks.h"
#include "copy/RuntimeVersionCheck.h"
#include "copy/ScriptDiskLabels.h"
#include "copy/SystemFollowUps.h"
#include "copy/VersionJudge.h"
#include "copy/WizardDiskPrompt.h"
#include "ops/FileSection.h"
#include "wizard/PageHost.h"

namespace kestrel::setup::copy {

// The copy engine of one run on the machine root, put together: the product's sources in the
// source directory (cabinet sets with the DISK prompt), the replacement decision with its
// remembered answers, files in use, the follow-ups, the runtime version check, the copier and
// the reader of file sections. It lives for the run, so cabinets stay open and answers are
// remembered from the first file section to the last.
class CopyRun {
  public:
    CopyRun(OperationContext& context, ProgressWindow& progress, PageHost& pages,
            RegistrationHooks& registration, CopyHook* hook = nullptr);

    FileSectionReader& sections() { return sections_; }
    FileCopier& copier() { return copier_; }
    // What the script commands share with the file lines: files in use, the disk prompt and
    // the disks' labels.
    InUseFiles& inUse() { return inUse_; }
    DiskPrompt& diskPrompt() { return prompt_; }
    const DiskLabels& diskLabels() const { return labels_; }
    // After the last file: the runtime version check of the CHECKRTVERSION files.
    void finish();

  private:
    OperationContext& context_;
    ScriptDiskLabels labels_;
    WizardDiskPrompt prompt_;
    CabinetSet cabinets_;
    ProductSources sources_;
    VersionJudge judge_;
    MachineInUseFiles inUse_;
    SystemFollowUps followUps_;
    RuntimeVersionCheck runtimeCheck_;
    FileCopier copier_;
    FileSectionReader sections_;
};

}  // namespace kestrel::setup::copy
