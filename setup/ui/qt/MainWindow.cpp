#include "ui/qt/MainWindow.h"

#include <QGuiApplication>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>

namespace kestrel::setup {

namespace {

std::vector<std::filesystem::path> paths(const std::vector<std::string>& files) {
    return {files.begin(), files.end()};
}

}  // namespace

MainWindow::MainWindow(MainWindowContent content, QWidget* parent)
    : QWidget(parent, content.caption ? Qt::Window : Qt::Window | Qt::FramelessWindowHint),
      content_(std::move(content)) {
    setAutoFillBackground(true);  // seen where the script asks for no background colour
    const QScreen* screen = QGuiApplication::primaryScreen();
    scene_.displayBits = screen != nullptr ? screen->depth() : 32;
    scene_.dpi = logicalDpiY();
    scene_.colourFrom = content_.colourFrom;
    scene_.colourTo = content_.colourTo;
    const QPalette colours = palette();
    scene_.frame = {colours.color(QPalette::Dark), colours.color(QPalette::Light),
                    colours.color(QPalette::Button)};
    scene_.background = {content_.backgroundPicture, load(content_.backgroundPicture, true)};
    scene_.logo = {content_.logo, load(content_.logo, false)};
    takeTexts();
    if (screen != nullptr) setGeometry(screen->geometry());
}

LoadedPicture MainWindow::load(const PictureSetting& setting, bool widenTiles) const {
    return loadPicture(paths(setting.files), setting, {scene_.displayBits, scene_.dpi, widenTiles});
}

void MainWindow::takeTexts() {
    scene_.texts.clear();
    for (std::size_t i = 0; i < content_.texts.size(); ++i)
        scene_.texts.push_back({content_.texts[i], QString::fromStdString(content_.text(i))});
}

void MainWindow::showCommandPicture(std::optional<PictureSetting> picture) {
    if (picture) {
        PictureSetting found = *picture;
        found.files = content_.findFiles(picture->files);
        scene_.command = {found, load(found, false)};
    } else {
        scene_.command = {};
    }
    render();
    update();
}

void MainWindow::variablesChanged() {
    takeTexts();
    render();
    update();
}

void MainWindow::showAsMainWindow() {
    if (windowFlags() & Qt::FramelessWindowHint) {
        showFullScreen();
    } else {
        showMaximized();
    }
    raise();
    activateWindow();
}

void MainWindow::render() {
    scene_.width = width();
    scene_.height = height();
    rendered_ = renderBackground(scene_);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!isMinimized()) render();
}

void MainWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(event->rect(), rendered_, event->rect());
}

}  // namespace kestrel::setup
