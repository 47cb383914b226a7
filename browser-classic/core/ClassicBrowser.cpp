#include "ClassicBrowser.h"

#include "ContextNames.h"
#include "ProfileFile.h"

namespace kestrel::classic {

namespace {

constexpr const char* kNoConnection = "NO NDS connection!";

}  // namespace

Switches parseSwitches(const std::string& commandLine) {
    return {contains(commandLine, "/nochange"), contains(commandLine, "/nosave"),
            contains(commandLine, "/nocreate")};
}

ClassicBrowser::ClassicBrowser(Ui& ui, DirectoryAccess& directory, BrowserServices services)
    : ui_(ui), directory_(directory), services_(std::move(services)) {}

void ClassicBrowser::start(const std::string& commandLine) {
    if (directory_.isAuthenticated()) {
        std::string context = chooseStartContext(commandLine);
        countryMode_ = startsWith(context, "C=");
        showTopItem(context);
        treeNameText_ = directory_.treeName().value_or(std::string());
    } else {
        treeNameText_ = kNoConnection;
        tree_.clear();
        selected_ = listedLast_ = kNoItem;
        if (observer_ != nullptr) observer_->treeReset();
    }
    switches_ = parseSwitches(commandLine);
}

std::string ClassicBrowser::chooseStartContext(const std::string& commandLine) {
    std::string context = commandLineStartContext(commandLine);
    if (!context.empty() && !hasCommandLinePrefix(context)) {
        ui_.showMessage("The commandline " + context +
                        " can't be used!\n\nThe programm will run with standard options!");
        context.clear();
    }
    if (context.empty()) context = readStartContext(services_.profileFile);
    if (context.empty()) {
        context = directory_.fullNameOfContext(directory_.currentNameContext());
        // A name context that cannot be read leaves the tree at its root rather than
        // without any item.
        if (context == "ERROR" || context.empty()) context = std::string(kRootName);
    }
    return context;
}

void ClassicBrowser::showTopItem(const std::string& context) {
    tree_.clear();
    ItemId top = tree_.insertSorted(kNoItem, {context, topItemImage(context)});
    tree_.setExpanded(top, true);
    selected_ = top;
    listedLast_ = kNoItem;
    if (observer_ != nullptr) {
        observer_->treeReset();
        observer_->selectionChanged(top);
    }
}

void ClassicBrowser::select(ItemId item) {
    selected_ = tree_.contains(item) ? item : kNoItem;
}

void ClassicBrowser::setExpanded(ItemId item, bool expanded) {
    if (tree_.contains(item)) tree_.setExpanded(item, expanded);
}

std::string ClassicBrowser::fullName(ItemId item) const {
    if (!tree_.contains(item)) return {};
    std::string name = tree_.text(item);
    if (name == kRootName || tree_.size() < 2) return name;
    // The walk ends at the organisation, or in country mode at the country, whichever
    // the name reaches first; [Root] is never part of a name.
    std::string_view stop = countryMode_ ? "C=" : "O=";
    for (ItemId up = tree_.parent(item); !contains(name, stop) && up != kNoItem;
         up = tree_.parent(up)) {
        std::size_t before = name.size();
        name += '.';
        name += tree_.text(up);
        if (contains(name, ".[Root]")) {
            name.resize(before);
            break;
        }
    }
    return name;
}

bool ClassicBrowser::activate(ItemId item) {
    if (!tree_.contains(item) || !tree_.children(item).empty() || item == listedLast_) return false;
    WaitCursor wait(ui_);
    const std::string& text = tree_.text(item);
    // A country anywhere in the item's name means the walk must go up to it: a start
    // context such as S=Hessen.C=DE holds organisations below its top item.
    if (startsWith(text, "C=") || contains(text, ".C=")) countryMode_ = true;
    std::string container = fullName(item);
    std::vector<ListEntry> entries;
    if (directory_.listContainer(container, entries)) {
        std::vector<TreeEntry> children;
        children.reserve(entries.size());
        for (auto& entry : entries) children.push_back({std::move(entry.name), entry.classCode});
        tree_.insertSorted(item, children);
    } else {
        ui_.showMessage("NDS Error (-601) for " + container +
                        "!\n\nChange the current context to valid value!");
    }
    tree_.setExpanded(item, true);
    listedLast_ = item;
    if (observer_ != nullptr) observer_->childrenChanged(item);
    return true;
}

void ClassicBrowser::keyPressed() {
    ui_.showMessage("TASTE");
}

void ClassicBrowser::drop(ItemId dragged, ItemId target) {
    if (!tree_.contains(dragged) || !tree_.contains(target)) return;
    if (dragged == target || tree_.isAncestor(dragged, target) || tree_.parent(dragged) == target) {
        ui_.beep();
        return;
    }
    ItemId oldParent = tree_.parent(dragged);
    ItemId moved = tree_.moveSubtree(dragged, target);
    tree_.setExpanded(target, true);
    selected_ = moved;
    if (observer_ != nullptr) {
        observer_->childrenChanged(oldParent);
        observer_->childrenChanged(target);
        observer_->selectionChanged(moved);
    }
}

std::string ClassicBrowser::selectedWorkstation() const {
    std::string name = fullName(selected_);
    return contains(name, "CN=") ? name : std::string();
}

}  // namespace kestrel::classic
