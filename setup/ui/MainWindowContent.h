// What the installer's main window paints, handed by the run to the front end once the
// script's settings are read and its pictures found.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "script/Layout.h"

namespace kestrel::setup {

struct MainWindowContent {
    bool caption = false;  // [Setup] ShowCaption: caption and frame, else borderless
    std::uint32_t colourFrom = kColourNone, colourTo = kColourNone;  // BackgroundColor
    // BackgroundPicture and Logo; their files are the host files found for the names.
    PictureSetting backgroundPicture, logo;
    // Text1 to Text10: fonts, colours, places and flags.
    std::vector<BackgroundText> texts;
    // Text n + 1 as it is drawn now (its variables expanded with their present values).
    std::function<std::string(std::size_t)> text;
    // The host files of picture names (of the ShowPicture command), those not found left out.
    std::function<std::vector<std::string>(const std::vector<std::string>&)> findFiles;
};

}  // namespace kestrel::setup
