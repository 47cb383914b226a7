// The main window's behaviour without the window: its set-up, the tree, the fields and the
// button states, and one entry point for every event the window passes on.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "CKestrelscopeApp.h"
#include "Ui.h"
#include "directory/CNDSAccess.h"
#include "window/ButtonStates.h"
#include "window/SettingsFile.h"
#include "window/TreeModel.h"
#include "workstation/WorkstationActions.h"

namespace kestrel::browser {

inline constexpr std::string_view kNoConnection = "No NDS Connection!";
inline constexpr std::string_view kVersionText = "Version 2.1 Rev.B";
inline constexpr int kBackspaceKey = 8;
inline constexpr int kKeypadPlusKey = 107;

// What the browser says of a tree it may not show.
std::string notLoggedInText(std::string_view tree);

// The window as the controller sees it: it follows the tree and re-reads the fields.
class MainView : public TreeObserver {
  public:
    // The tree field, the inventory server field or a button state changed.
    virtual void fieldsChanged() = 0;
};

class BrowserController {
  public:
    BrowserController(CKestrelscopeApp& app, Ui& ui, SettingsFile settings,
                      ClientLibraryNames libraries = {});
    ~BrowserController();
    BrowserController(const BrowserController&) = delete;
    BrowserController& operator=(const BrowserController&) = delete;

    void setView(MainView* view);
    // How IP Ping reaches the network; an ICMP echo socket unless replaced.
    void setEchoProbeFactory(EchoProbeFactory factory) {
        workstation_.setEchoProbeFactory(std::move(factory));
    }

    // Creates the directory access layer, offers a login to the preselected tree, opens the
    // start context and sets the buttons.
    void setUp();

    const CKestrelscopeApp& app() const { return app_; }
    const std::string& treeField() const { return treeField_; }
    const std::string& inventoryServerField() const { return inventoryServerField_; }
    const ButtonStates& buttons() const { return buttons_; }
    TreeModel& tree() { return tree_; }
    const TreeModel& tree() const { return tree_; }
    const std::string& currentStartContext() const { return currentStartContext_; }

    // The layer shared by the window and its dialogs. Some functions read through a freshly
    // initialised one, which then replaces it for everyone; it is bound to the tree and start
    // context shown, so reads and later listings stay in the tree the person sees.
    CNDSAccess& access() { return *access_; }
    CNDSAccess& renewAccess();

    // Makes tree and context current and rebuilds the tree with only the top item, selected.
    void open(const std::string& tree, const std::string& context);
    // Lists the children of the selected item once; false when there was nothing to do.
    bool listSelected();

    // Events of the window.
    void select(TreeItem* item);
    void keyPressed(int keyCode);
    void gotoStartContext();
    void changeStartContext();
    void saveStartContext();
    void help();
    void about();
    void inventoryServerButton();
    // The nine functions that start a remote-management program on the selected object.
    void startFunction(WorkstationFunction function);
    void createShortcut();
    void workstationInfo();
    void workstationInventory();
    void ipPing();
    void searchWorkstation();
    // The NDS tree button: trees, login and logout, then possibly another tree.
    void chooseTree();
    // The inventory server dialog; "Use / Save" writes the server to the settings file only
    // when `mayWriteSettings`. An empty entry changes nothing.
    void askInventoryServer(bool mayWriteSettings);

  private:
    bool offerLogin();
    void refreshButtons();
    // "No NDS Connection!", an empty tree and the buttons that go with them.
    void showNoConnection();
    // True when a tree is shown and the workstation is no longer logged in to it.
    bool loggedOutOfShownTree();
    bool enabled(Button button) const { return buttons_[button].enabled; }
    // The selected item when `button` may act on it now, else null.
    TreeItem* actionTarget(Button button) const;
    SelectedObject selectedObject(const TreeItem& item) const;
    void writeSettings(std::initializer_list<std::pair<std::string_view, std::string_view>> values);
    void readSavedPair();
    void openAndList(const std::string& tree, const std::string& context);

    CKestrelscopeApp& app_;
    Ui& ui_;
    SettingsFile settings_;
    ClientLibraryNames libraries_;
    std::unique_ptr<CNDSAccess> access_;
    TreeModel tree_;
    MainView* view_ = nullptr;
    WorkstationActions workstation_{ui_};

    std::string treeField_;
    std::string inventoryServerField_;
    ButtonStates buttons_;
    std::string currentStartContext_;
    TreeItem* remembered_ = nullptr;  // the item listed last
};

}  // namespace kestrel::browser
