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

}  // namespace

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
        std::vector<std::string> names;
        for (const std::string& name : setting->files) names.push_back(expander.expand(name));
        picture->files = hostFiles(names, directories, paths);
        if (!names.empty() && picture->files.empty() && !run.uninstall && !run.admin)
            session.messages().show(messages::kCannotOpenFile, {names.front()});
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
