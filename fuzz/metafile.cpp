// Background metafiles (.wmf): read and checked, then played into a small picture as the
// background window plays them.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "FuzzInput.h"
#include "ui/background/Metafile.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Text records need the font database, which needs an application; no display is used.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto metafile = kestrel::setup::Metafile::parse(kestrel::fuzz::text(data, size));
    if (!metafile) return 0;
    (void)metafile->width(96);
    (void)metafile->height(96);
    QImage picture(64, 48, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&picture);
    metafile->play(painter, picture.rect());
    return 0;
}
