#pragma once

#include <QListWidget>
#include <QWidget>

#include "components/ComponentPage.h"

class QLabel;
class QPushButton;

namespace kestrel::setup {

// The owner-drawn list of the component page: each row its check-state picture, its
// [Icons] picture and its text. A click on the picture column or the space bar toggles the
// current item, a double click opens its Details.
class ComponentListWidget : public QListWidget {
    Q_OBJECT

  public:
    explicit ComponentListWidget(QWidget* parent = nullptr);
    // Where the check-state pictures are drawn, in viewport coordinates of a row.
    static int pictureColumnWidth() { return 24; }

  signals:
    void toggleRequested(int row);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

// What the OPTIONS page shows: the list, the current item's description and count, the
// Details button, the target directory and the needed and available space. The page model
// keeps the rules; this panel shows it again after every change.
class ComponentPanel : public QWidget {
    Q_OBJECT

  public:
    ComponentPanel(ComponentPage& page, QWidget* parent = nullptr);

    ComponentListWidget* list() const { return list_; }
    QPushButton* detailsButton() const { return details_; }
    QLabel* descriptionLabel() const { return description_; }
    QLabel* countLabel() const { return count_; }
    QLabel* neededLabel() const { return needed_; }
    // Shows the model as it is now.
    void refresh();
    void toggle(int row);
    void openDetails();

  signals:
    // The Details level changed (the dialog's buttons follow).
    void levelChanged();

  private:
    void showCurrent();

    ComponentPage& page_;
    ComponentListWidget* list_ = nullptr;
    QLabel* description_ = nullptr;
    QLabel* count_ = nullptr;
    QPushButton* details_ = nullptr;
    QLabel* directory_ = nullptr;
    QLabel* needed_ = nullptr;
    QLabel* available_ = nullptr;
    bool refreshing_ = false;
};

}  // namespace kestrel::setup
