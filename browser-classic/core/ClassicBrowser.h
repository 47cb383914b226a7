// The rules behind the first edition's main window: start-up, the tree with its listing,
// names, drag and drop, and the functions of the buttons. The window only renders this
// state and forwards the person's actions.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "ClassicUi.h"
#include "DirectoryAccess.h"
#include "TreeModel.h"
#include "platform/Process.h"

namespace kestrel::platform {
class EchoProbe;
}

namespace kestrel::classic {

// Told what changed, so that a view can redraw just that.
class TreeObserver {
  public:
    virtual ~TreeObserver() = default;
    virtual void treeReset() = 0;                     // every item replaced
    virtual void childrenChanged(ItemId parent) = 0;  // the items below `parent` replaced
    virtual void selectionChanged(ItemId item) = 0;
};

struct WakeOnLanPorts {
    std::uint16_t local = 3456;   // the datagram's source port
    std::uint16_t target = 3456;  // the workstation's port
};

struct BrowserServices {
    std::filesystem::path profileFile;
    std::function<platform::StartError(const platform::StartRequest&)> startProgram =
        platform::startProgram;
    platform::EchoProbe* echo = nullptr;  // none: the IP ping sends nothing
    WakeOnLanPorts wakeOnLan;
};

// The switches of the command line, each found anywhere in it.
struct Switches {
    bool noChange = false;
    bool noSave = false;
    bool noCreate = false;
};
Switches parseSwitches(const std::string& commandLine);

class ClassicBrowser {
  public:
    ClassicBrowser(Ui& ui, DirectoryAccess& directory, BrowserServices services);

    // Start-up: the start context, the top item, the tree name and the switches.
    void start(const std::string& commandLine);

    void setObserver(TreeObserver* observer) { observer_ = observer; }
    const TreeModel& tree() const { return tree_; }
    const std::string& treeNameText() const { return treeNameText_; }
    const Switches& switches() const { return switches_; }
    bool countryMode() const { return countryMode_; }

    ItemId selected() const { return selected_; }
    void select(ItemId item);
    void setExpanded(ItemId item, bool expanded);

    // A double-click: lists the item's children unless it has some or was listed last.
    // True when it listed.
    bool activate(ItemId item);
    // Any key pressed in the tree.
    void keyPressed();
    // Drops `dragged` onto `target`: moves it there, or beeps where it cannot go.
    void drop(ItemId dragged, ItemId target);

    // The directory name of an item, built by walking up the tree.
    std::string fullName(ItemId item) const;

    void remoteControl();
    void workstationInfos();
    void ipPing();
    void wakeUp();
    void changeStartContext();
    void saveStartContext();
    void createShortcut();

  private:
    std::string chooseStartContext(const std::string& commandLine);
    void showTopItem(const std::string& context);
    // The selected item's full name when it names a workstation, else empty.
    std::string selectedWorkstation() const;
    // Saves the shortcut file; nothing when saved, else why not.
    std::optional<std::string> saveShortcut(const std::string& fileName,
                                            const std::string& arguments);

    Ui& ui_;
    DirectoryAccess& directory_;
    BrowserServices services_;
    TreeObserver* observer_ = nullptr;

    TreeModel tree_;
    ItemId selected_ = kNoItem;
    ItemId listedLast_ = kNoItem;
    bool countryMode_ = false;
    std::string treeNameText_;
    Switches switches_;
};

}  // namespace kestrel::classic
