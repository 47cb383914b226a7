// One frame of the installer's main window: 1920 x 1080 with the gradient, a tiled
// background, a logo with a transparent colour and ten shadowed texts.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "ui/background/BackgroundRenderer.h"
#include "ui/background/LoadedPicture.h"

namespace {

using namespace kestrel::setup;

QImage pattern(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x * 4, y * 4, (x + y) * 2));
    return image;
}

BackgroundScene fullScene() {
    BackgroundScene scene;
    scene.width = 1920;
    scene.height = 1080;
    scene.colourFrom = 0x00FF0000;
    scene.colourTo = 0;
    scene.background.setting.flags = picture::kTile;
    const QImage tile = widenTile(pattern(48, 48));
    scene.background.picture = {tile, nullptr, tile.width(), tile.height()};
    scene.logo.setting.x = parseCoordinate("-10#");
    scene.logo.setting.y = parseCoordinate("-10#");
    QImage logo = pattern(200, 100).convertToFormat(QImage::Format_ARGB32);
    for (int x = 0; x < 200; x += 2) logo.setPixel(x, 50, 0);  // transparent pixels
    scene.logo.picture = {logo, nullptr, 200, 100};
    for (int n = 0; n < 10; ++n) {
        SceneText text;
        text.style.face = "DejaVu Sans";
        text.style.size = n == 0 ? 36 : 14;
        text.style.colour = 0x00FFFFFF;
        text.style.x = parseCoordinate(n == 0 ? "5%" : "");
        text.style.y = parseCoordinate(n == 0 ? "5%" : "");
        text.style.flags = textflag::kShadow | (n == 0 ? textflag::kBold | textflag::kItalic : 0);
        text.text = n == 0 ? QStringLiteral("Acme Tools 2.1")
                           : QStringLiteral("Background text number %1 with several words").arg(n);
        scene.texts.push_back(text);
    }
    return scene;
}

void renderFullWindow(benchmark::State& state) {
    const BackgroundScene scene = fullScene();
    for (auto _ : state) benchmark::DoNotOptimize(renderBackground(scene));
}
BENCHMARK(renderFullWindow)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);  // fonts need one
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
