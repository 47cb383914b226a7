// Remote Control and Workstation NDS Infos.
#include "ClassicBrowser.h"
#include "RemoteControlCommand.h"

namespace kestrel::classic {

namespace {

constexpr const char* kError = "ERROR";

}  // namespace

void ClassicBrowser::remoteControl() {
    std::string name = selectedWorkstation();
    if (name.empty()) return;
    platform::StartRequest request{
        remoteControlCommandLine(name, treeNameText_, CommandForm::WithProgram)};
    switch (services_.startProgram(request)) {
        case platform::StartError::FileNotFound:
            ui_.showMessage("Remote Control Executable not found!");
            break;
        case platform::StartError::PathNotFound:
            ui_.showMessage("Path for Remote Control Executable not found!");
            break;
        default:
            break;
    }
}

void ClassicBrowser::workstationInfos() {
    std::string name = selectedWorkstation();
    if (name.empty()) return;
    WorkstationInfo info;
    info.objectName = "." + name;
    const std::string& object = info.objectName;
    directory_.readAttributeNames(object);
    {
        WaitCursor wait(ui_);
        auto read = [&](const char* attribute, ReadMode mode, int index = 0) {
            return directory_.readAttribute(attribute, object, mode, index);
        };
        // Each step needs the one before: the first "ERROR" ends the reading.
        [&] {
            info.computerName = read("WM:NAME Computer", ReadMode::ByIndex);
            if (info.computerName == kError) return;
            info.networkAddresses.push_back(read("WM:Network Address", ReadMode::FirstWithColon));
            if (info.networkAddresses.back() == kError) return;
            info.networkAddresses.push_back(
                read("WM:Network Address", ReadMode::FirstWithFullStop));
            if (info.networkAddresses.back() == kError) return;
            info.lastRegistered = read("WM:Last Registered Time", ReadMode::ByIndex);
            if (info.lastRegistered == kError) return;
            // Values by index until the first empty one; a history that cannot be read at
            // all ends the list as well instead of repeating "ERROR" for ever.
            for (int i = 0;; ++i) {
                std::string user = read("WM:User History", ReadMode::ByIndex, i);
                if (user.empty() || user == kError) break;
                info.userHistory.push_back(std::move(user));
            }
            info.computerOs = read("WM:NAME OS", ReadMode::ByIndex);
            if (info.computerOs == kError) return;
            info.physicalMemory = read("WM:INV Physical Memory", ReadMode::ByIndex);
        }();
    }
    ui_.showWorkstationInfo(info);
}

}  // namespace kestrel::classic
