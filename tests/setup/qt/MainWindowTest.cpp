// The real main window, offscreen: made by the Qt front end, painted by the renderer, and
// repainted when the ShowPicture picture or the texts' variables change.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>

#include "PictureWriter.h"
#include "TestSupport.h"
#include "ui/qt/MainWindow.h"
#include "ui/qt/QtUi.h"

namespace kestrel::setup {
namespace {

int inkIn(const QImage& image, QRgb background) {
    int ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) ink += image.pixel(x, y) != background;
    return ink;
}

TEST(MainWindow, FullScreenBorderlessAndRepaintedOnChanges) {
    kestrel::test::TempDir dir;
    kestrel::test::writeFile(dir / "logo.bmp", test::plainBitmapFile(30, 20, 24, 0xFF0000));
    std::string user = "Ann";
    MainWindowContent content;
    content.colourFrom = content.colourTo = 0x00808080;
    BackgroundText text;
    text.face = "DejaVu Sans";
    text.size = 20;
    text.colour = 0x00FFFFFF;
    text.x = parseCoordinate("0#");
    text.y = parseCoordinate("0#");
    content.texts = {text};
    content.text = [&user](std::size_t) { return user; };
    std::vector<std::string> asked;
    content.findFiles = [&](const std::vector<std::string>& names) {
        asked = names;
        return std::vector<std::string>{(dir / "logo.bmp").string()};
    };

    QtUi ui;
    BackgroundWindow* window = ui.openMainWindow(content);
    ASSERT_NE(window, nullptr);
    MainWindow* main = ui.mainWindow();
    EXPECT_TRUE(main->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(main->isVisible()) << "shown only when the run says so";
    ui.setTitle("Acme Setup");
    ui.showMainWindow();
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->windowTitle(), "Acme Setup");
    EXPECT_EQ(main->size(), QGuiApplication::primaryScreen()->size());
    EXPECT_EQ(main->rendered().size(), main->size());

    const QRgb grey = 0xFF808080;
    const int ann = inkIn(main->rendered(), grey);
    EXPECT_GT(ann, 0);
    user = "Annabel Longname-Smith";
    window->variablesChanged();
    EXPECT_GT(inkIn(main->rendered(), grey), ann);

    PictureSetting logo;
    logo.files = {"C:\\pics\\logo.bmp"};
    logo.x = parseCoordinate("-1#");
    logo.y = parseCoordinate("-1#");
    const QPoint corner(main->width() - 2, main->height() - 2);
    window->showCommandPicture(logo);
    EXPECT_EQ(asked, logo.files);
    EXPECT_EQ(main->rendered().pixel(corner), 0xFFFF0000u);
    // What the window shows on the screen is what the renderer made.
    EXPECT_EQ(main->grab(QRect(corner, QSize(1, 1))).toImage().pixel(0, 0), 0xFFFF0000u);
    window->showCommandPicture(std::nullopt);
    EXPECT_EQ(main->rendered().pixel(corner), grey);

    ui.closeMainWindow();
    EXPECT_EQ(ui.mainWindow(), nullptr);
}

TEST(MainWindow, CaptionAndFrameWhenTheScriptAsksForThem) {
    MainWindowContent content;
    content.caption = true;
    content.text = [](std::size_t) { return std::string(); };
    QtUi ui;
    ui.openMainWindow(content);
    EXPECT_FALSE(ui.mainWindow()->windowFlags() & Qt::FramelessWindowHint);
    ui.showMainWindow();
    EXPECT_TRUE(ui.mainWindow()->isVisible());
}

}  // namespace
}  // namespace kestrel::setup
