#include "components/ComponentPage.h"

#include <algorithm>

#include "components/ComponentSizes.h"
#include "messages/MessageFormat.h"

namespace kestrel::setup {

CheckPicture checkPicture(CheckLook look, bool twoColours, CheckState state, bool radio) {
    CheckPicture picture{{}, look, state, radio};
    switch (look) {
        case CheckLook::Bulbs: {
            const bool on = state != CheckState::Unchecked;
            picture.name = std::string(twoColours ? "BulbM" : "Bulb") + (on ? "C" : "N");
            break;
        }
        case CheckLook::CheckBox:
            picture.name = "CheckBox";
            break;
        case CheckLook::CheckMarks:
            picture.name = std::string(radio ? "Radio" : "Check") +
                           std::to_string(state == CheckState::Unchecked ? 0
                                          : state == CheckState::Checked ? 1
                                                                         : 2);
            break;
    }
    return picture;
}

ComponentPage::ComponentPage(ComponentList& list, ComponentPageSetup setup)
    : list_(list), setup_(std::move(setup)) {}

std::vector<int> ComponentPage::offeredChildren(int index) const {
    std::vector<int> offered;
    for (int child : list_.children(index))
        if (list_[child].optional()) offered.push_back(child);
    return offered;
}

std::string ComponentPage::iconFile(int icon) const {
    if (icon < 0 || icon >= static_cast<int>(setup_.iconFiles.size())) return {};
    return setup_.iconFiles[static_cast<std::size_t>(icon)];
}

std::vector<ComponentPage::Row> ComponentPage::rows() const {
    std::vector<Row> rows;
    for (int index : offeredChildren(shownParent())) {
        const Component& component = list_[index];
        rows.push_back({index, display_(component.text),
                        checkPicture(setup_.look, setup_.twoColours, checkState(list_, index),
                                     component.group != kNoComponent),
                        iconFile(component.icon), !offeredChildren(index).empty()});
    }
    return rows;
}

void ComponentPage::setCurrent(int row) {
    const int count = static_cast<int>(offeredChildren(shownParent()).size());
    current_ = std::clamp(row, 0, std::max(0, count - 1));
}

bool ComponentPage::toggle(int row) {
    const std::vector<int> items = offeredChildren(shownParent());
    if (row < 0 || row >= static_cast<int>(items.size())) return false;
    setCurrent(row);
    const int index = items[static_cast<std::size_t>(row)];
    const Component& component = list_[index];
    // One member of a kind-1 group stays selected: it goes off only by choosing another.
    if (component.selected && component.group != kNoComponent && component.groupKind == 1)
        return false;
    setSelected(list_, index, !component.selected);
    return true;
}

std::string ComponentPage::description() const {
    const std::vector<int> items = offeredChildren(shownParent());
    if (items.empty()) return {};
    return display_(list_[items[static_cast<std::size_t>(current_)]].description);
}

std::string ComponentPage::countText() const {
    const std::vector<int> items = offeredChildren(shownParent());
    if (items.empty()) return {};
    const std::vector<int> children = offeredChildren(items[static_cast<std::size_t>(current_)]);
    if (children.empty()) return {};
    const auto checked = std::ranges::count_if(
        children, [this](int child) { return checkState(list_, child) == CheckState::Checked; });
    return display_(formatMessage(setup_.countFormat,
                                  {static_cast<int>(checked), static_cast<int>(children.size())}));
}

bool ComponentPage::detailsEnabled() const {
    const std::vector<int> items = offeredChildren(shownParent());
    return !items.empty() && !offeredChildren(items[static_cast<std::size_t>(current_)]).empty();
}

bool ComponentPage::openDetails() {
    if (!detailsEnabled()) return false;
    const int item = offeredChildren(shownParent())[static_cast<std::size_t>(current_)];
    saveSelection(item);
    levels_.push_back({item, current_});
    current_ = 0;
    return true;
}

void ComponentPage::saveSelection(int index) {
    for (int child : list_.children(index)) {
        list_[child].savedSelection = list_[child].selected;
        saveSelection(child);
    }
}

void ComponentPage::restoreSelection(int index) {
    for (int child : list_.children(index)) {
        list_[child].selected = list_[child].savedSelection;
        restoreSelection(child);
    }
}

void ComponentPage::cancelDetails() {
    if (levels_.empty()) return;
    restoreSelection(levels_.back().item);
    current_ = levels_.back().current;
    levels_.pop_back();
}

void ComponentPage::finishDetails() {
    if (levels_.empty()) return;
    const int item = levels_.back().item;
    const std::vector<int> children = list_.children(item);
    if (std::ranges::any_of(children, [this](int child) { return list_[child].selected; }))
        list_[item].selected = true;
    current_ = levels_.back().current;
    levels_.pop_back();
}

std::int64_t ComponentPage::needed() const {
    return neededSize(list_, SetupMode::Custom, setup_.maintenance);
}

std::string ComponentPage::neededText() const {
    return display_(pageSizeText(needed(), setup_.decimal));
}

std::string ComponentPage::availableText() const {
    return display_(pageSizeText(setup_.available, setup_.decimal));
}

}  // namespace kestrel::setup
