#pragma once

#include <functional>

#include "components/ComponentList.h"
#include "components/SectionDispatch.h"
#include "ops/OperationContext.h"

namespace kestrel::setup {

// The extension hook's events around a component's work; a "no" before it skips the
// component and its section. Without an extension module every answer is yes.
inline constexpr int kHookBeforeComponent = 6;
inline constexpr int kHookAfterComponent = 7;
using ComponentHook = std::function<bool(int event, const Component& component)>;

// Carries out the work of the selected components. Installing walks the tree parents before
// children, children first to last; uninstalling handles each component's children first,
// last to first. For each component Option, OptionName and OptionText are set, the hook is
// asked, its work section processed (a component without a section needs children, else
// 5529) and recorded under Software\<MachineKeyName>\Setup\Options (HKLM, or the user's
// hive in a per-user part); uninstalling also takes away the user's key of the component
// ([UserKeyNames], or UserKeyName with %Option) when nothing else is left in it. The first
// failure sets the abort flag and ends the walk.
class WorkList {
  public:
    WorkList(OperationContext& context, ComponentList& list, SectionProcessor sections,
             ComponentHook hook = {})
        : context_(context), list_(list), sections_(std::move(sections)), hook_(std::move(hook)) {}

    // The selected components.
    bool install();
    bool uninstall();
    // Newly selected components installed first, then the installed ones now deselected
    // removed.
    bool maintain();

  private:
    using Filter = std::function<bool(const Component&)>;
    bool allHaveWork(int index, const Filter& which);
    bool installWalk(int index, const Filter& which);
    bool uninstallWalk(int index, const Filter& which);
    bool work(int index, Direction direction);
    bool ask(int event, const Component& component) const;
    void record(const Component& component, Direction direction);
    void removeUserKey(const Component& component);
    bool fail();

    OperationContext& context_;
    ComponentList& list_;
    SectionProcessor sections_;
    ComponentHook hook_;
};

}  // namespace kestrel::setup
