#pragma once

#include <functional>
#include <string>
#include <vector>

#include "components/ComponentList.h"
#include "components/SectionDispatch.h"
#include "ops/OperationContext.h"

namespace kestrel::setup {

// The extension hook's events around a component's work; a "no" before it skips the
// component and its section. Without an extension module every answer is yes.
inline constexpr int kHookBeforeComponent = 6;
inline constexpr int kHookAfterComponent = 7;
using ComponentHook = std::function<bool(int event, const Component& component)>;

// Does (or undoes) the link sections of the components named, in the order given, each
// section once; false when one failed.
using ComponentLinks =
    std::function<bool(const std::vector<std::string>& components, Direction direction)>;

// Carries out the work of the selected components. Installing walks the tree parents before
// children, children first to last; uninstalling handles each component's children first,
// last to first. For each component Option, OptionName and OptionText are set, the hook is
// asked, its work section processed (a component without a section needs children, else
// 5529) and recorded under Software\<MachineKeyName>\Setup\Options (HKLM, or the user's
// hive in a per-user part); uninstalling also takes away the user's key of the component
// ([UserKeyNames], or UserKeyName with %Option) when nothing else is left in it. After the
// walk the link sections of the components it worked on ("Shell:<component>" and the
// program manager's forms) are done in the walk's order: parents before children when
// installing, children before parents when uninstalling. The first failure sets the abort
// flag and ends the work.
class WorkList {
  public:
    WorkList(OperationContext& context, ComponentList& list, SectionProcessor sections,
             ComponentHook hook = {}, ComponentLinks links = {})
        : context_(context),
          list_(list),
          sections_(std::move(sections)),
          hook_(std::move(hook)),
          links_(std::move(links)) {}

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
    // The walk, then the links of what it worked on.
    bool walkWithLinks(const Filter& which, Direction direction);
    bool work(int index, Direction direction);
    bool ask(int event, const Component& component) const;
    void record(const Component& component, Direction direction);
    void removeUserKey(const Component& component);
    bool fail();

    OperationContext& context_;
    ComponentList& list_;
    SectionProcessor sections_;
    ComponentHook hook_;
    ComponentLinks links_;
    std::vector<std::string> worked_;  // the components of the current walk, in its order
};

}  // namespace kestrel::setup
