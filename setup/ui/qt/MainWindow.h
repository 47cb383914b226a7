#pragma once

#include <QImage>
#include <QWidget>

#include "ui/BackgroundWindow.h"
#include "ui/MainWindowContent.h"
#include "ui/background/BackgroundRenderer.h"

namespace kestrel::setup {

// The installer's main window: as large as the screen, with caption and frame only when
// the script asks for them, painted by the background renderer. The picture is rendered
// once for each size and content and kept, so exposing the window costs a copy.
class MainWindow : public QWidget, public BackgroundWindow {
    Q_OBJECT
  public:
    explicit MainWindow(MainWindowContent content, QWidget* parent = nullptr);

    void showCommandPicture(std::optional<PictureSetting> picture) override;
    void variablesChanged() override;

    // Maximised with a caption, full screen without.
    void showAsMainWindow();
    const BackgroundScene& scene() const { return scene_; }
    const QImage& rendered() const { return rendered_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    LoadedPicture load(const PictureSetting& setting, bool widenTiles) const;
    void takeTexts();
    void render();

    MainWindowContent content_;
    BackgroundScene scene_;
    QImage rendered_;
};

}  // namespace kestrel::setup
