// Loading the main window's pictures: bitmaps chosen by depth, metafiles, and files that
// lie about their size or end too soon.
#include <gtest/gtest.h>

#include <QPainter>

#include "PictureWriter.h"
#include "TestSupport.h"
#include "ui/background/BackgroundRenderer.h"
#include "ui/background/DibFile.h"
#include "ui/background/LoadedPicture.h"

namespace kestrel::setup {
namespace {

using test::bitmapFile;
using test::MetafileWriter;
using test::plainBitmapFile;

constexpr QRgb kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;

void putU32(std::string& file, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

class PictureFiles : public ::testing::Test {
  protected:
    std::filesystem::path write(const std::string& name, const std::string& bytes) {
        const std::filesystem::path file = dir_ / name;
        kestrel::test::writeFile(file, bytes);
        return file;
    }
    LoadedPicture load(const std::vector<std::filesystem::path>& files, int displayBits,
                       std::uint32_t flags = 0, bool widen = false) {
        PictureSetting setting;
        setting.flags = flags;
        return loadPicture(files, setting, {displayBits, 96, widen});
    }

    kestrel::test::TempDir dir_;
};

TEST_F(PictureFiles, BitmapsOfEveryDepthDecode) {
    for (int bits : {1, 4, 8, 24, 32}) {
        const std::string file = bitmapFile(
            7, 3, bits, [](int x, int y) { return x == 0 && y == 0 ? 0xFF0000u : 0x0000FFu; });
        const auto header = checkDib(file);
        ASSERT_TRUE(header) << bits;
        EXPECT_EQ(header->bitsPerPixel, bits);
        const QImage image = decodeDib(file);
        ASSERT_EQ(image.size(), QSize(7, 3)) << bits;
        EXPECT_EQ(image.pixel(0, 0), kRed) << bits;
        EXPECT_EQ(image.pixel(6, 2), kBlue) << bits;
    }
}

TEST_F(PictureFiles, TheDepthThatFitsTheDisplayBestIsChosen) {
    const std::vector<std::filesystem::path> files = {
        write("missing-is-skipped.bmp", ""), write("c4.bmp", plainBitmapFile(2, 2, 4, 0x000001)),
        write("c8.bmp", plainBitmapFile(2, 2, 8, 0x000002)),
        write("c24.bmp", plainBitmapFile(2, 2, 24, 0x000003)), dir_ / "not-there.bmp"};
    const auto chosen = [&](int displayBits) {
        return load(files, displayBits).bitmap.pixel(0, 0) & 0xFF;
    };
    EXPECT_EQ(chosen(32), 3u);
    EXPECT_EQ(chosen(24), 3u);
    EXPECT_EQ(chosen(16), 2u) << "the highest depth not above the display's";
    EXPECT_EQ(chosen(8), 2u);
    EXPECT_EQ(chosen(2), 1u) << "none fits: the lowest above";
}

TEST_F(PictureFiles, AbsurdOrTruncatedBitmapsAreLeftOut) {
    const std::string sound = plainBitmapFile(16, 16, 24, 0x123456);
    ASSERT_TRUE(checkDib(sound));
    std::string huge = sound;
    putU32(huge, 18, 100000);
    putU32(huge, 22, 100000);
    EXPECT_FALSE(checkDib(huge)) << "100,000 x 100,000";
    std::string wide = sound;
    putU32(wide, 18, 16384);
    putU32(wide, 22, 16384);
    EXPECT_FALSE(checkDib(wide)) << "268 million pixels";
    EXPECT_FALSE(checkDib(sound.substr(0, sound.size() - 1))) << "one byte short";
    EXPECT_FALSE(checkDib(sound.substr(0, 30))) << "cut inside the header";
    std::string negative = sound;
    putU32(negative, 18, 0xFFFFFFF0u);
    EXPECT_FALSE(checkDib(negative));
    std::string offset = sound;
    putU32(offset, 10, 0xFFFFFF00u);
    EXPECT_FALSE(checkDib(offset)) << "pixel data beyond the end";
    std::string depth = sound;
    depth[28] = 7;
    EXPECT_FALSE(checkDib(depth));
    EXPECT_FALSE(checkDib("BM"));
    EXPECT_FALSE(checkDib(std::string(100, 'B')));

    const LoadedPicture picture = load({write("huge.bmp", huge)}, 32);
    EXPECT_TRUE(picture.empty());
    EXPECT_TRUE(load({write("cut.bmp", sound.substr(0, 100))}, 32).empty());
}

TEST_F(PictureFiles, SmallBackgroundTilesAreWidenedToWholeCopies) {
    // A red 8 x 8 corner in a blue 32 x 32 tile.
    const std::string tile =
        bitmapFile(32, 32, 24, [](int x, int y) { return x < 8 && y < 8 ? 0xFF0000u : 0x0000FFu; });
    const std::filesystem::path file = write("tile.bmp", tile);
    const LoadedPicture widened = load({file}, 32, picture::kTile, true);
    EXPECT_EQ(widened.width, 128);
    EXPECT_EQ(widened.height, 128);
    EXPECT_EQ(widened.bitmap.pixel(96, 96), kRed);
    EXPECT_EQ(widened.bitmap.pixel(104, 96), kBlue);
    EXPECT_EQ(widenTile(QImage(200, 32, QImage::Format_ARGB32)).size(), QSize(200, 128));
    EXPECT_EQ(load({file}, 32, picture::kTile, false).width, 32) << "only the background's";

    // Shrunk into 64-pixel tiles, the widened bitmap shows four copies in each.
    BackgroundScene scene;
    scene.width = scene.height = 128;
    scene.colourFrom = scene.colourTo = 0x00FFFFFF;
    PictureSetting setting;
    setting.width = parseCoordinate("64#");
    setting.height = parseCoordinate("64#");
    setting.flags = picture::kTile | picture::kStretchMin;
    scene.background = {setting, widened};
    const QImage image = renderBackground(scene);
    for (int x : {1, 17, 33, 49, 65, 113}) EXPECT_EQ(image.pixel(x, 1), kRed) << x;
    for (int x : {9, 25, 57}) EXPECT_EQ(image.pixel(x, 1), kBlue) << x;
}

TEST_F(PictureFiles, TransparentColourOrTheTopLeftPixel) {
    const std::string file = bitmapFile(3, 1, 24, [](int x, int) {
        return x == 0 ? 0x00FF00u : x == 1 ? 0xFF0000u : 0x0000FFu;
    });
    const std::filesystem::path path = write("t.bmp", file);
    PictureSetting setting;
    setting.flags = picture::kTransparent;
    LoadedPicture picture = loadPicture({path}, setting, {});
    EXPECT_EQ(qAlpha(picture.bitmap.pixel(0, 0)), 0) << "none: the top-left pixel's colour";
    EXPECT_EQ(picture.bitmap.pixel(1, 0), kRed);
    setting.transparent = 0x00FF0000;  // 0x00BBGGRR: blue
    picture = loadPicture({path}, setting, {});
    EXPECT_EQ(qAlpha(picture.bitmap.pixel(2, 0)), 0);
    EXPECT_EQ(qAlpha(picture.bitmap.pixel(0, 0)), 255);
}

std::string redLeftHalf() {
    // 2 x 1 inches at 1000 units an inch, the left half a red rectangle without outline.
    MetafileWriter writer(0, 0, 2000, 1000, 1000);
    writer.select(writer.pen(5, 0, 0));
    writer.select(writer.solidBrush(0x000000FF));
    writer.rectangle(0, 0, 1000, 1000);
    return writer.bytes();
}

TEST_F(PictureFiles, MetafilesAreSizedFromTheirHeaderAndDrawnIntoTheirRectangle) {
    const LoadedPicture picture = load({write("left.wmf", redLeftHalf())}, 32);
    ASSERT_TRUE(picture.metafile);
    EXPECT_EQ(picture.width, 192);
    EXPECT_EQ(picture.height, 96);

    BackgroundScene scene;
    scene.width = 200;
    scene.height = 100;
    scene.colourFrom = scene.colourTo = 0x00FFFFFF;
    PictureSetting setting;
    setting.x = parseCoordinate("10#");
    setting.y = parseCoordinate("10#");
    setting.width = parseCoordinate("100#");
    setting.height = parseCoordinate("50#");
    setting.flags = picture::kDoubleInside | picture::kStretchMin;
    scene.logo = {setting, picture};
    scene.frame = {QColor(0x80, 0x80, 0x80), Qt::white, QColor(0xC0, 0xC0, 0xC0)};
    const QImage image = renderBackground(scene);
    EXPECT_EQ(image.pixel(30, 35), kRed);
    EXPECT_EQ(image.pixel(58, 35), kRed);
    EXPECT_EQ(image.pixel(62, 35), kWhite);
    EXPECT_EQ(image.pixel(5, 35), kWhite);
    // The frames: one pixel inside, shadow above and left; two inside, black.
    EXPECT_EQ(image.pixel(11, 30), 0xFF808080u);
    EXPECT_EQ(image.pixel(30, 11), 0xFF808080u);
    EXPECT_EQ(image.pixel(12, 30), 0xFF000000u);
    EXPECT_EQ(image.pixel(108, 30), 0xFFFFFFFFu);
    EXPECT_EQ(image.pixel(107, 30), 0xFFC0C0C0u);
}

TEST_F(PictureFiles, BrokenMetafilesAreLeftOut) {
    const std::string sound = redLeftHalf();
    ASSERT_TRUE(Metafile::parse(sound));
    EXPECT_FALSE(Metafile::parse(sound.substr(0, sound.size() - 2))) << "no end record";
    EXPECT_FALSE(Metafile::parse(sound.substr(0, 30)));
    EXPECT_FALSE(Metafile::parse(std::string(200, '\xC6')));
    MetafileWriter huge(0, 0, 30000, 30000, 1);
    EXPECT_FALSE(Metafile::parse(huge.bytes())) << "30,000 inches";
    MetafileWriter empty(10, 10, 10, 20, 1440);
    EXPECT_FALSE(Metafile::parse(empty.bytes()));
    // A record that claims more words than the file has.
    std::string cut = sound;
    putU32(cut, 40, 0x7FFFFFFF);
    EXPECT_FALSE(Metafile::parse(cut));
    EXPECT_TRUE(load({write("cut.wmf", cut)}, 32).empty());

    // Records with too few parameters and selections of slots that do not exist are passed
    // over while drawing.
    MetafileWriter odd(0, 0, 100, 100, 96);
    odd.record(0x041B, {1, 2});
    odd.record(0x0324, {30000, 1, 1});
    odd.record(0x0538, {5, 1});
    odd.record(0x0521, {200, 0x4141});
    odd.select(7);
    odd.record(0x01F0, {-3});
    const auto parsed = Metafile::parse(odd.bytes());
    ASSERT_TRUE(parsed);
    QImage image(50, 50, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    parsed->play(painter, QRect(0, 0, 50, 50));
}

}  // namespace
}  // namespace kestrel::setup
