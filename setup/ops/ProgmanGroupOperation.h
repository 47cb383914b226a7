#pragma once

#include <string>
#include <vector>

#include "ops/LinkLine.h"
#include "ops/LinkServices.h"
#include "ops/Operation.h"

namespace kestrel::setup {

// A program group and the items a section puts into it, worked through the program
// manager's execute strings.
struct ProgmanGroupWork {
    std::string groupValue;  // name[,group file]; empty: items go to the selected group
    struct Item {
        LinkEntry entry;
        std::string name;  // the item's name: the location after its group part
    };
    std::vector<Item> items;
};

// Installation creates and shows the group, then replaces and adds each item (an item
// whose target has a directory part and does not exist is left out). Uninstallation
// selects the group, deletes the items, and deletes the group when it is no system group,
// the run no maintenance and the group holds nothing else: another product's items in a
// group of the same name are not ours to take.
class ProgmanGroupOperation : public Operation {
  public:
    ProgmanGroupOperation(ProgmanGroupWork work, LinkServices& services)
        : work_(std::move(work)), services_(services) {}

    bool install(OperationContext& context) override;
    bool uninstall(OperationContext& context) override;
    const ProgmanGroupWork& work() const { return work_; }

  private:
    bool applies(const OperationContext& context, const LinkEntry& entry) const;
    // Executes the string; a failure shows 5516, Ignore goes on. At uninstallation, what is
    // gone already is no failure.
    bool send(OperationContext& context, const std::string& command, bool installing);
    bool addItem(OperationContext& context, const ProgmanGroupWork::Item& item);

    ProgmanGroupWork work_;
    LinkServices& services_;
};

}  // namespace kestrel::setup
