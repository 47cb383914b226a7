#include "program/MainWindowStart.h"

#include "messages/MessageStrings.h"
#include "script/PictureLookup.h"
#include "ui/PreparedText.h"

namespace kestrel::setup {

namespace {

std::vector<std::string> hostFiles(const std::vector<std::string>& names,
                                   const std::vector<std::string>& directories,
                                   const platform::WindowsPathMap& paths) {
    std::vector<std::string> files;
    for (const std::string& name : names) {
        if (auto found = findPictureFile(name, directories, paths))
            files.push_back(found->string());
    }
    return files;
}

std::vector<std::string> expanded(const std::vector<std::string>& names, const Expander& expander) {
    std::vector<std::string> result;
    for (const std::string& name : names) result.push_back(expander.expand(name));
    return result;
}

std::vector<std::string> runFiles(SetupSession& session, const std::vector<std::string>& names,
                                  const std::string& startDirectory) {
    return hostFiles(names, pictureDirectories(session.variables(), session.run(), startDirectory),
                     session.machine().paths());
}

// A picture that the script names and that is found nowhere is said, by its first name;
// not when uninstalling, nor in an administrator installation.
void sayWhenMissing(SetupSession& session, const std::vector<std::string>& names,
                    const std::vector<std::string>& files) {
    const RunState& run = session.run();
    if (!names.empty() && files.empty() && !run.uninstall && !run.admin)
        session.messages().show(messages::kCannotOpenFile, {names.front()});
}

}  // namespace

std::vector<std::string> findRunFiles(SetupSession& session, const std::vector<std::string>& names,
                                      const std::string& startDirectory) {
    return runFiles(session, expanded(names, session.expander()), startDirectory);
}

std::string wizardPictureFile(SetupSession& session, const std::string& startDirectory,
                              bool sayMissing) {
    const std::vector<std::string> names =
        expanded(session.settings().wizardPicture.files, session.expander());
    const std::vector<std::string> files = runFiles(session, names, startDirectory);
    if (sayMissing) sayWhenMissing(session, names, files);
    return files.empty() ? std::string() : files.front();
}

bool showsMainWindow(const RunState& run) {
    return !run.uninstall && (!run.silent || run.silentLevel == 2);
}

BackgroundWindow* openMainWindow(SetupSession& session, Ui& ui, const std::string& startDirectory) {
    const ApplicationSettings& settings = session.settings();
    const Expander expander = session.expander();
    const RunState& run = session.run();
    const std::vector<std::string> directories =
        pictureDirectories(session.variables(), run, startDirectory);
    const platform::WindowsPathMap paths = session.machine().paths();

    MainWindowContent content;
    content.caption = session.setupSection().showCaption;
    content.colourFrom = settings.backgroundFrom;
    content.colourTo = settings.backgroundTo;
    content.texts = settings.texts;
    for (auto [setting, picture] :
         {std::pair{&settings.backgroundPicture, &content.backgroundPicture},
          std::pair{&settings.logo, &content.logo}}) {
        *picture = *setting;
        const std::vector<std::string> names = expanded(setting->files, expander);
        picture->files = hostFiles(names, directories, paths);
        sayWhenMissing(session, names, picture->files);
    }
    content.text = [&session](std::size_t index) {
        return prepareBackgroundText(session.settings().texts.at(index).text, session.expander());
    };
    content.findFiles = [directories, paths](const std::vector<std::string>& names) {
        return hostFiles(names, directories, paths);
    };
    BackgroundWindow* window = ui.openMainWindow(content);
    ui.setTitle(session.variables().value("SetupName"));
    return window;
}

}  // namespace kestrel::setup
