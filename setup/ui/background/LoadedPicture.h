// A picture of the main window as it is drawn: a bitmap (its transparent pixels already
// cleared) or a metafile, with its own size in pixels.
#pragma once

#include <QImage>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "script/Layout.h"
#include "ui/background/Metafile.h"

namespace kestrel::setup {

struct LoadedPicture {
    QImage bitmap;
    std::shared_ptr<const Metafile> metafile;
    int width = 0, height = 0;

    bool empty() const { return width <= 0 || height <= 0; }
};

// How a picture is loaded: the display it is for, and whether it is the background picture
// (only that one has its small tiles widened).
struct PictureLoad {
    int displayBits = 32;
    int dpi = 96;
    bool widenTiles = false;
};

// Of the listed host files, the bitmap whose colour depth fits the display best (the
// highest depth not above the display's, else the lowest above it), or, when no bitmap can
// be read, the first metafile that can; files that cannot be read are skipped. Files ending
// in ".wmf" (any case) are metafiles, all others bitmaps. An empty picture when none loads.
LoadedPicture loadPicture(const std::vector<std::filesystem::path>& files,
                          const PictureSetting& setting, const PictureLoad& load);

// A tile smaller than 128 pixels in width or height made into whole copies of itself, at
// least 128 pixels each way.
QImage widenTile(const QImage& tile);

}  // namespace kestrel::setup
