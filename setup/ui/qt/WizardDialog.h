#pragma once

#include <QDialog>
#include <vector>

#include "wizard/WizardPage.h"

class QAbstractButton;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kestrel::setup {

class ComponentPanel;

// One wizard page over the installer's window: the picture on the left, the page's text,
// choices and edit fields on the right, Back / Next / Skip / Cancel / Help below. The
// edits follow the page's field rules as the person types; the dialog ends with the
// page's result as its code (see run()).
class WizardDialog : public QDialog {
    Q_OBJECT

  public:
    WizardDialog(WizardPage& page, const PageActions& actions, QWidget* parent = nullptr);

    // Shows the page modally; what was entered is in the page.
    PageResult run();

    QPushButton* nextButton() const { return next_; }
    QPushButton* backButton() const { return back_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* skipButton() const { return skip_; }
    QPushButton* helpButton() const { return help_; }
    // The button of a choice (a push button that ends the page, or a radio button).
    QAbstractButton* choiceButton(std::size_t index) const;
    QLineEdit* edit(std::size_t index) const;
    QPushButton* browseButton(std::size_t index) const;
    QLabel* pictureLabel() const { return picture_; }
    // The component page's panel (OPTIONS), else nullptr.
    ComponentPanel* componentPanel() const { return components_; }

    void reject() override;  // Escape and Close are Cancel

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QWidget* buildChoices();
    QWidget* buildFields();
    QWidget* buildButtons();
    void edited(std::size_t index);
    void browse(std::size_t index);
    void updateButtons();
    void end(PageResult result);
    // On a Details level of the component page, Finish and Cancel close that level.
    bool closeDetails(bool keep);

    WizardPage& page_;
    PageActions actions_;
    QLabel* picture_ = nullptr;
    std::vector<QAbstractButton*> choices_;
    QButtonGroup* choiceGroup_ = nullptr;
    std::vector<QLineEdit*> edits_;
    std::vector<QPushButton*> browses_;
    QPushButton* back_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* skip_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* help_ = nullptr;
    ComponentPanel* components_ = nullptr;
};

}  // namespace kestrel::setup
