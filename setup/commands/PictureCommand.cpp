// ShowPicture: the picture of the installer's background window.
#include "commands/ActionHandlers.h"
#include "messages/MessageStrings.h"
#include "script/Layout.h"

namespace kestrel::setup::commands {

bool showPicture(CommandCall& call, ActionServices& services) {
    const std::string_view text = call.line.rest;
    std::optional<PictureSetting> picture;
    if (text.find_first_not_of(' ') != std::string_view::npos) {
        FieldReader fields(text);
        (void)fields.next();  // the disk
        auto setting = parsePictureSetting(fields.rest());
        if (!setting) {
            call.context.messages.show(messages::kIncorrectFlags, {setting.error()});
            return true;  // the picture is left as it is
        }
        picture = std::move(*setting);
    }
    if (services.background) services.background->showCommandPicture(std::move(picture));
    return true;
}

}  // namespace kestrel::setup::commands
