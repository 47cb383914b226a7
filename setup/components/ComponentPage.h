#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "components/ComponentList.h"
#include "components/ComponentSelection.h"

namespace kestrel::setup {

// Which check-state pictures the list shows ([Application] UseCheckmarks).
enum class CheckLook { Bulbs = 0, CheckBox = 1, CheckMarks = 2 };

// The picture drawn before an item: its resource name ("BulbN", "CheckBox", "Check2",
// "Radio1"...) and what it shows.
struct CheckPicture {
    std::string name;
    CheckLook look = CheckLook::CheckMarks;
    CheckState state = CheckState::Unchecked;
    bool radio = false;  // a member of an exclusive group
};
CheckPicture checkPicture(CheckLook look, bool twoColours, CheckState state, bool radio);

// What the page was given besides the components.
struct ComponentPageSetup {
    CheckLook look = CheckLook::CheckMarks;
    bool twoColours = false;     // a two-colour display: the bulbs drawn for it
    std::string directory;       // the target directory shown
    std::int64_t available = 0;  // free bytes there
    std::string decimal = ".";   // WIN.INI [intl] sDecimal
    std::string countFormat = "%d of %d components selected";  // string 5006
    std::string neededLabel = "Disk memory needed";            // string 5010
    std::string availableLabel = "Disk memory available";      // string 5011
    std::vector<std::string> iconFiles;  // host files of the [Icons] pictures, by index
    bool maintenance = false;            // needed space counts changes against what is installed
};

// The OPTIONS page without its window: the list of one component's children (the root's
// at first), the current item with its description and "%d of %d components selected",
// toggling (a selected member of a kind-1 group stays on), Details into an item's children
// with Cancel restoring and Finish keeping their selection, and the disk figures. Texts
// come out through the display function (the front end's encoding).
class ComponentPage {
  public:
    struct Row {
        int component = 0;
        std::string text;
        CheckPicture picture;
        std::string iconFile;     // host file of its picture; empty: none
        bool hasDetails = false;  // children offered to the person
    };

    ComponentPage(ComponentList& list, ComponentPageSetup setup);

    void setDisplay(std::function<std::string(const std::string&)> display) {
        display_ = std::move(display);
    }

    // The items of the level shown.
    std::vector<Row> rows() const;
    int current() const { return current_; }
    void setCurrent(int row);
    // Toggles an item; false when it cannot be switched off (a beep is due).
    bool toggle(int row);

    std::string description() const;
    // "%d of %d components selected" of the current item; empty when it has no children
    // offered to the person.
    std::string countText() const;
    bool detailsEnabled() const;
    // Shows the current item's children; their selection is saved for Cancel.
    bool openDetails();
    bool inDetails() const { return !levels_.empty(); }
    // Back to the level above: Cancel restores the children's selection, Finish keeps it
    // and marks the item selected when one of them is.
    void cancelDetails();
    void finishDetails();
    // The item whose children are shown (0: the root).
    int shownParent() const { return levels_.empty() ? 0 : levels_.back().item; }

    std::string directory() const { return display_(setup_.directory); }
    std::string neededLabel() const { return display_(setup_.neededLabel); }
    std::string neededText() const;
    std::string availableLabel() const { return display_(setup_.availableLabel); }
    std::string availableText() const;
    std::int64_t needed() const;

  private:
    struct Level {
        int item;     // whose children are shown
        int current;  // the row to come back to
    };
    std::vector<int> offeredChildren(int index) const;
    std::string iconFile(int icon) const;
    void saveSelection(int index);
    void restoreSelection(int index);

    ComponentList& list_;
    ComponentPageSetup setup_;
    std::vector<Level> levels_;
    int current_ = 0;
    std::function<std::string(const std::string&)> display_ = [](const std::string& text) {
        return text;
    };
};

}  // namespace kestrel::setup
