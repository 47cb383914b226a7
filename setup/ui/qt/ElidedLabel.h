#pragma once

#include <QLabel>

namespace kestrel::setup {

// A one-line label for paths: a text longer than the label is shown with its middle left
// out ("C:\Program Files\…\MESSAGES.TXT"), so both the drive and the file's name are seen;
// the whole text is its tool tip. The label does not widen its window for a long text.
class ElidedLabel : public QLabel {
    Q_OBJECT

  public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void setText(const QString& text);
    // What is drawn at the label's present width.
    QString shownText() const;
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace kestrel::setup
