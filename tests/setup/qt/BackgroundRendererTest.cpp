// The main window's picture, pixel by pixel: gradient, picture placement, texts.
#include <gtest/gtest.h>

#include <QPainter>

#include "ui/background/BackgroundGeometry.h"
#include "ui/background/BackgroundRenderer.h"
#include "ui/background/BackgroundTexts.h"

namespace kestrel::setup {
namespace {

constexpr QRgb kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;

BackgroundScene plainScene(int width, int height, std::uint32_t colour) {
    BackgroundScene scene;
    scene.width = width;
    scene.height = height;
    scene.colourFrom = scene.colourTo = colour;
    return scene;
}

LoadedPicture bitmap(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return {image, nullptr, width, height};
}

PictureSetting placed(const char* x, const char* y, const char* width, const char* height,
                      std::uint32_t flags) {
    PictureSetting setting;
    setting.x = parseCoordinate(x);
    setting.y = parseCoordinate(y);
    setting.width = parseCoordinate(width);
    setting.height = parseCoordinate(height);
    setting.flags = flags;
    return setting;
}

// The rows of column 0 whose colour is `colour`, as [first, last].
std::pair<int, int> rowsOf(const QImage& image, int column, QRgb colour) {
    int first = -1, last = -1;
    for (int y = 0; y < image.height(); ++y) {
        if (image.pixel(column, y) != colour) continue;
        if (first < 0) first = y;
        last = y;
    }
    return {first, last};
}

TEST(BackgroundFill, EqualColoursOrNoSecondColourFillPlainly) {
    for (std::uint32_t second : {0x00336699u, kColourNone}) {
        BackgroundScene scene = plainScene(40, 30, 0x00336699);
        scene.colourTo = second;
        const QImage image = renderBackground(scene);
        EXPECT_EQ(image.pixel(0, 0), 0xFF996633u);
        EXPECT_EQ(image.pixel(39, 29), 0xFF996633u);
    }
}

TEST(BackgroundFill, NoFirstColourLeavesTheWindowUnfilled) {
    BackgroundScene scene = plainScene(40, 30, kColourNone);
    scene.colourTo = 0x000000FF;
    const QImage image = renderBackground(scene);
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(39, 29)), 0);
}

TEST(BackgroundFill, ZeroSizedWindowGivesNoImage) {
    EXPECT_TRUE(renderBackground(plainScene(0, 100, 0)).isNull());
    EXPECT_TRUE(renderBackground(plainScene(100, 0, 0)).isNull());
}

TEST(Gradient, PaletteDisplaysGet192BandsOthers256) {
    EXPECT_EQ(gradientBandCount(8), 192);
    EXPECT_EQ(gradientBandCount(4), 192);
    EXPECT_EQ(gradientBandCount(16), 256);
    EXPECT_EQ(gradientBandCount(32), 256);
    for (int bits : {8, 24}) {
        const int bands = gradientBandCount(bits);
        BackgroundScene scene = plainScene(4, 512, 0x00FF0000);  // blue to black
        scene.colourTo = 0x000000FF;                             // to red
        scene.displayBits = bits;
        const QImage image = renderBackground(scene);
        const std::vector<std::uint32_t> palette = gradientPalette(0xFF0000, 0xFF, bands);
        for (int band = 0; band < bands; ++band) {
            const BandRows rows = gradientBand(band, bands, 512);
            for (int y = rows.top; y < rows.bottom; ++y)
                ASSERT_EQ(image.pixel(3, y), colourOf(palette[band]).rgb()) << bits << " " << y;
        }
        EXPECT_EQ(image.pixel(0, 0), kBlue) << "the first colour is at the top";
    }
}

TEST(Gradient, BandsCoverTheirRowsAndEmptyOnesAreSkipped) {
    const std::vector<std::uint32_t> palette = gradientPalette(0x000000FF, 0x0000FF00, 256);
    EXPECT_EQ(palette[0], 0x000000FFu);
    EXPECT_EQ(palette[128], 0x00007F80u);  // red 255 - 127, green 127: integer steps
    EXPECT_EQ(palette[255], 0x0000FE01u);
    // 100 rows for 256 bands: most bands are empty; each row shows the band that covers it.
    BackgroundScene scene = plainScene(2, 100, 0x000000FF);
    scene.colourTo = 0x0000FF00;
    const QImage image = renderBackground(scene);
    for (int band = 0; band < 256; ++band) {
        const BandRows rows = gradientBand(band, 256, 100);
        for (int y = rows.top; y < rows.bottom; ++y)
            EXPECT_EQ(image.pixel(1, y), colourOf(palette[band]).rgb()) << y;
    }
}

TEST(PicturePlacement, LogoFromTheRightAndBottomKeepsItsOwnSize) {
    BackgroundScene scene = plainScene(200, 100, 0x00FFFFFF);
    scene.logo = {placed("-10#", "-10#", "", "", 0), bitmap(20, 10, kRed)};
    const QImage image = renderBackground(scene);
    EXPECT_EQ(rowsOf(image, 170, kRed), std::make_pair(80, 89));
    EXPECT_EQ(image.pixel(169, 85), kWhite);
    EXPECT_EQ(image.pixel(189, 85), kRed);
    EXPECT_EQ(image.pixel(190, 85), kWhite) << "10 pixels from the right edge";
}

TEST(PicturePlacement, ShrunkKeepingItsRatioAndCentredVertically) {
    const PixelRect drawn =
        placePicture({0, 0, 400, 400}, 2000, 1000,
                     picture::kStretchMin | picture::kKeepRatio | picture::kVCenter);
    EXPECT_EQ(drawn, (PixelRect{0, 100, 400, 200}));

    BackgroundScene scene = plainScene(400, 400, 0x00FFFFFF);
    scene.background = {placed("0#", "0#", "400#", "400#",
                               picture::kStretchMin | picture::kKeepRatio | picture::kVCenter),
                        bitmap(2000, 1000, kRed)};
    const QImage image = renderBackground(scene);
    EXPECT_EQ(rowsOf(image, 0, kRed), std::make_pair(100, 299));
    EXPECT_EQ(rowsOf(image, 399, kRed), std::make_pair(100, 299));
}

TEST(PicturePlacement, ScalingFlagsAndRatios) {
    using namespace picture;
    // Smaller pictures are enlarged only with STRETCHMAX, larger ones shrunk only with
    // STRETCHMIN; without KEEPRATIO a scaled picture fills the rectangle.
    EXPECT_EQ(placePicture({0, 0, 100, 100}, 50, 20, kStretchMin), (PixelRect{0, 0, 50, 20}));
    EXPECT_EQ(placePicture({0, 0, 100, 100}, 50, 20, kStretchMax), (PixelRect{0, 0, 100, 100}));
    EXPECT_EQ(placePicture({0, 0, 100, 100}, 50, 20, kStretchMax | kKeepRatio | kHCenter),
              (PixelRect{0, 0, 100, 40}));
    EXPECT_EQ(placePicture({10, 10, 100, 60}, 50, 50, kStretchMax | kKeepRatio | kHCenter),
              (PixelRect{30, 10, 60, 60}));
    EXPECT_EQ(placePicture({0, 0, 100, 100}, 300, 100, kStretchMin), (PixelRect{0, 0, 100, 100}));
}

TEST(PicturePlacement, RectangleInUnitsCutToTheClientArea) {
    PictureSetting setting = placed("50%", "10#", "100#", "72", 0);
    // 72 points at 96 dots per inch: 96 x 134 / 120 = 107 pixels.
    EXPECT_EQ(pictureRectangle(setting, 5, 5, 300, 100, 96), (PixelRect{150, 10, 100, 90}));
    setting = placed("-10#", "0#", "0", "0", 0);
    EXPECT_EQ(pictureRectangle(setting, 500, 20, 300, 100, 96), (PixelRect{0, 0, 290, 20}));
}

TEST(PicturePlacement, UnscaledCentredPictureIsCutOnEverySide) {
    QImage image(100, 100, QImage::Format_ARGB32);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) image.setPixel(x, y, x == 25 && y == 25 ? kRed : kBlue);
    BackgroundScene scene = plainScene(80, 80, 0x00FFFFFF);
    scene.logo = {placed("10#", "10#", "50#", "50#", picture::kHCenter | picture::kVCenter),
                  {image, nullptr, 100, 100}};
    const QImage out = renderBackground(scene);
    EXPECT_EQ(out.pixel(10, 10), kRed) << "the picture's middle part begins at the rectangle";
    EXPECT_EQ(out.pixel(9, 9), kWhite);
    EXPECT_EQ(out.pixel(59, 59), kBlue);
    EXPECT_EQ(out.pixel(60, 60), kWhite);
}

TEST(PicturePlacement, TilesRepeatFromTheTopLeftCornerInStepsOfTheRectangle) {
    BackgroundScene scene = plainScene(100, 50, 0x00FFFFFF);
    scene.background = {placed("0#", "0#", "30#", "30#", picture::kTile), bitmap(10, 10, kRed)};
    const QImage image = renderBackground(scene);
    for (int x : {0, 9, 30, 39, 60, 90}) EXPECT_EQ(image.pixel(x, 5), kRed) << x;
    for (int x : {10, 29, 40}) EXPECT_EQ(image.pixel(x, 5), kWhite) << x;
    EXPECT_EQ(image.pixel(0, 35), kRed);
    EXPECT_EQ(image.pixel(0, 45), kWhite);
}

TEST(PicturePlacement, TransparentPixelsAreNotDrawn) {
    QImage image(4, 1, QImage::Format_ARGB32);
    image.fill(kRed);
    image.setPixel(1, 0, qRgba(0, 0, 0, 0));  // what the loader leaves of the transparent colour
    BackgroundScene scene = plainScene(10, 10, 0x00FFFFFF);
    scene.logo = {placed("0#", "0#", "", "", 0), {image, nullptr, 4, 1}};
    const QImage out = renderBackground(scene);
    EXPECT_EQ(out.pixel(0, 0), kRed);
    EXPECT_EQ(out.pixel(1, 0), kWhite);
}

TEST(Texts, ShadowIsTwelveBlackCopiesAtTheirOffsets) {
    const std::vector<std::pair<int, int>> expected = {{1, 1}, {0, 1}, {1, 0}, {2, 2},
                                                       {1, 2}, {2, 1}, {3, 3}, {2, 3},
                                                       {3, 2}, {4, 4}, {3, 4}, {4, 3}};
    std::vector<std::pair<int, int>> offsets;
    for (const Offset& offset : shadowOffsets()) offsets.emplace_back(offset.dx, offset.dy);
    EXPECT_EQ(offsets, expected);
}

SceneText text(const char* content, const char* x, const char* y, std::uint32_t flags,
               std::uint32_t colour = 0x000000FF) {
    SceneText entry;
    entry.style.face = "DejaVu Sans";
    entry.style.size = 12;
    entry.style.colour = colour;
    entry.style.x = parseCoordinate(x);
    entry.style.y = parseCoordinate(y);
    entry.style.flags = flags;
    entry.text = QString::fromUtf8(content);
    return entry;
}

std::vector<QRect> drawTexts(BackgroundScene& scene, QImage& image) {
    image = QImage(scene.width, scene.height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    return paintTexts(painter, scene);
}

TEST(Texts, EmptyCoordinatesFollowThePreviousTextsExtent) {
    BackgroundScene scene = plainScene(400, 200, 0x00FFFFFF);
    scene.texts = {text("Acme Tools", "10#", "20#", 0), text("2.1", "", "", 0),
                   text("third", "", "5#", textflag::kShadow), text("fourth", "", "", 0)};
    QImage image;
    const std::vector<QRect> extents = drawTexts(scene, image);
    ASSERT_EQ(extents.size(), 4u);
    EXPECT_EQ(extents[0].topLeft(), QPoint(10, 20));
    EXPECT_EQ(extents[1].topLeft(), extents[0].bottomRight() + QPoint(1, 1));
    EXPECT_EQ(extents[2].left(), extents[1].right() + 1);
    EXPECT_EQ(extents[2].top(), 5);
    // A shadowed text's extent reaches 4 pixels further right and down.
    const QRect measured = QFontMetrics(backgroundFont(scene.texts[2].style, 96))
                               .boundingRect(QRect(0, 0, 1000, 1000), Qt::AlignLeft, "third");
    EXPECT_EQ(extents[2].size(), measured.size() + QSize(4, 4));
    EXPECT_EQ(extents[3].topLeft(), extents[2].bottomRight() + QPoint(1, 1));
}

TEST(Texts, ShadowedRightTextStaysInsideTheWindow) {
    BackgroundScene scene = plainScene(300, 100, 0x00FFFFFF);
    scene.texts = {text("Right", "0#", "0#", textflag::kRight | textflag::kShadow)};
    QImage image;
    const std::vector<QRect> extents = drawTexts(scene, image);
    int rightmostInk = -1, rightmostRed = -1, lowestInk = -1, lowestRed = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (pixel == kWhite) continue;
            rightmostInk = std::max(rightmostInk, x);
            lowestInk = std::max(lowestInk, y);
            if (qRed(pixel) > 200 && qGreen(pixel) < 60) {
                rightmostRed = std::max(rightmostRed, x);
                lowestRed = std::max(lowestRed, y);
            }
        }
    }
    EXPECT_LE(rightmostRed, 295) << "the text's right edge is 4 pixels inside";
    EXPECT_GE(rightmostInk, rightmostRed + 3) << "the shadow lies right of the text";
    EXPECT_LE(rightmostInk, 299);
    EXPECT_GE(lowestInk, lowestRed + 3) << "and below it";
    EXPECT_EQ(extents[0].right(), 299);
}

TEST(Texts, AmpersandsAreOrdinaryCharactersAndTabsAreExpanded) {
    BackgroundScene scene = plainScene(400, 200, 0x00FFFFFF);
    scene.texts = {text("&", "0#", "0#", 0), text("&&", "0#", "50#", 0),
                   text("a\tb", "0#", "100#", 0), text("a b", "0#", "150#", 0)};
    QImage image;
    const std::vector<QRect> extents = drawTexts(scene, image);
    EXPECT_GT(extents[1].width(), extents[0].width() * 3 / 2);
    EXPECT_GT(extents[2].width(), extents[3].width());
}

TEST(Texts, WordsWrapAtTheRightEdgeAndBottomTextsStayOnOneLine) {
    BackgroundScene scene = plainScene(120, 300, 0x00FFFFFF);
    scene.texts = {text("several words that cannot fit", "0#", "0#", 0)};
    QImage image;
    const int wrapped = drawTexts(scene, image)[0].height();
    scene.texts = {text("several words that cannot fit", "0#", "0#", textflag::kBottom)};
    const QRect bottom = drawTexts(scene, image)[0];
    EXPECT_GE(wrapped, bottom.height() * 2);
    EXPECT_EQ(bottom.bottom(), 299);
}

TEST(Texts, TextWithoutAFontIsNotDrawn) {
    BackgroundScene scene = plainScene(100, 50, 0x00FFFFFF);
    scene.texts = {text("nothing", "0#", "0#", 0)};
    scene.texts[0].style.face.clear();
    QImage image;
    EXPECT_TRUE(drawTexts(scene, image)[0].isNull());
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x) ASSERT_EQ(image.pixel(x, y), kWhite);
}

}  // namespace
}  // namespace kestrel::setup
