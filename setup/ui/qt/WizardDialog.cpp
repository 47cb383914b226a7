#include "ui/qt/WizardDialog.h"

#include <algorithm>

#include <QApplication>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QVBoxLayout>

#include "components/ComponentPage.h"
#include "ui/qt/ComponentPanel.h"
#include "ui/qt/WizardPicture.h"

namespace kestrel::setup {

namespace {

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

// Wide enough for a directory under "Program Files (x86)" next to the picture.
constexpr int kMinimumWidth = 640;
// What a directory edit shows without scrolling, in average characters.
constexpr int kDirectoryColumns = 48;

QPushButton* makeButton(const std::string& label, const char* name, QWidget* parent) {
    auto* button = new QPushButton(qt(label), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

WizardDialog::WizardDialog(WizardPage& page, const PageActions& actions, QWidget* parent)
    : QDialog(parent), page_(page), actions_(actions) {
    setWindowTitle(qt(page.title));
    setModal(true);

    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("picture"));
    picture_->setPixmap(wizardPicture(qt(page.picture)));
    picture_->setAlignment(Qt::AlignTop);

    auto* content = new QVBoxLayout;
    if (page.kind == PageKind::GetDataDir) {
        // The data directory's page carries the data-directory icon.
        auto* icon = new QLabel(this);
        icon->setObjectName(QStringLiteral("dataIcon"));
        icon->setPixmap(style()->standardIcon(QStyle::SP_DirHomeIcon).pixmap(32, 32));
        content->addWidget(icon);
    }
    if (!page.text.empty()) {
        if (page.textScrolls) {
            auto* text = new QPlainTextEdit(qt(page.text), this);
            text->setObjectName(QStringLiteral("text"));
            text->setReadOnly(true);
            content->addWidget(text, 1);
        } else {
            auto* text = new QLabel(qt(page.text), this);
            text->setObjectName(QStringLiteral("text"));
            text->setWordWrap(true);
            text->setTextFormat(Qt::PlainText);
            content->addWidget(text);
        }
    }
    if (!page.question.empty()) {
        auto* question = new QLabel(qt(page.question), this);
        question->setObjectName(QStringLiteral("question"));
        question->setWordWrap(true);
        question->setTextFormat(Qt::PlainText);
        content->addWidget(question);
    }
    if (!page.choices.empty()) content->addWidget(buildChoices());
    if (!page.fields.empty()) content->addWidget(buildFields());
    if (page.components) {
        components_ = new ComponentPanel(*page.components, this);
        connect(components_, &ComponentPanel::levelChanged, this, [this] { updateButtons(); });
        content->addWidget(components_, 1);
    } else {
        content->addStretch();
    }

    auto* body = new QHBoxLayout;
    body->addWidget(picture_);
    body->addLayout(content, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(buildButtons());
    setMinimumWidth(kMinimumWidth);
    updateButtons();
}

QWidget* WizardDialog::buildChoices() {
    auto* box = new QWidget(this);
    auto* layout = new QFormLayout(box);
    choiceGroup_ = new QButtonGroup(box);
    // The buttons that are the answer are as wide as the widest of them.
    int buttonWidth = 0;
    for (const PageChoice& choice : page_.choices)
        buttonWidth = std::max(buttonWidth, QPushButton(qt(choice.text)).sizeHint().width());
    for (std::size_t i = 0; i < page_.choices.size(); ++i) {
        const PageChoice& choice = page_.choices[i];
        QAbstractButton* button = nullptr;
        if (page_.choiceEndsPage) {
            auto* push = new QPushButton(qt(choice.text), box);
            push->setMinimumHeight(48);
            push->setMinimumWidth(buttonWidth);
            push->setAutoDefault(false);
            button = push;
            connect(push, &QPushButton::clicked, this, [this, i] {
                page_.chosen = static_cast<int>(i);
                end(PageResult::Next);
            });
        } else {
            button = new QRadioButton(qt(choice.text), box);
            button->setChecked(static_cast<int>(i) == page_.chosen);
            choiceGroup_->addButton(button, static_cast<int>(i));
        }
        button->setObjectName(QStringLiteral("choice%1").arg(i));
        auto* detail = new QLabel(qt(choice.detail), box);
        layout->addRow(button, detail);
        button->setVisible(choice.visible);
        detail->setVisible(choice.visible);
        choices_.push_back(button);
    }
    connect(choiceGroup_, &QButtonGroup::idClicked, this, [this](int id) {
        page_.chosen = id;
        updateButtons();
    });
    return box;
}

QWidget* WizardDialog::buildFields() {
    auto* box = new QWidget(this);
    auto* layout = new QFormLayout(box);
    for (std::size_t i = 0; i < page_.fields.size(); ++i) {
        const EditField& field = page_.fields[i];
        auto* edit = new QLineEdit(qt(field.text()), box);
        edit->setObjectName(QStringLiteral("edit%1").arg(i));
        edit->setMaxLength(static_cast<int>(field.limit()));
        edit->setReadOnly(field.readOnly);
        if (field.browse)
            edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * kDirectoryColumns);
        if (field.password) edit->setEchoMode(QLineEdit::Password);
        if (field.digitsOnly) {
            edit->setValidator(new QRegularExpressionValidator(
                QRegularExpression(QStringLiteral("[0-9]*")), edit));
        }
        connect(edit, &QLineEdit::textEdited, this, [this, i] { edited(i); });
        QWidget* row = edit;
        QPushButton* browser = nullptr;
        if (field.browse) {
            row = new QWidget(box);
            auto* line = new QHBoxLayout(row);
            line->setContentsMargins(0, 0, 0, 0);
            line->addWidget(edit, 1);
            browser = makeButton("B&rowse...", "browse", row);
            browser->setObjectName(QStringLiteral("browse%1").arg(i));
            connect(browser, &QPushButton::clicked, this, [this, i] { browse(i); });
            line->addWidget(browser);
        }
        auto* label = new QLabel(qt(field.label()), box);
        label->setBuddy(edit);
        layout->addRow(label, row);
        label->setVisible(field.visible);
        row->setVisible(field.visible);
        edits_.push_back(edit);
        browses_.push_back(browser);
    }
    return box;
}

QWidget* WizardDialog::buildButtons() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->addStretch();
    back_ = makeButton("< &Back", "back", row);
    next_ = makeButton(page_.nextLabel, "next", row);
    skip_ = makeButton("&Skip", "skip", row);
    cancel_ = makeButton(page_.cancelLabel, "cancel", row);
    help_ = makeButton("&Help", "help", row);
    for (QPushButton* button : {back_, next_, skip_, cancel_, help_}) layout->addWidget(button);
    back_->setVisible(page_.backVisible);
    next_->setVisible(page_.nextVisible);
    skip_->setVisible(page_.skipVisible);
    help_->setVisible(page_.helpVisible);
    next_->setDefault(page_.nextVisible);
    connect(back_, &QPushButton::clicked, this, [this] { end(PageResult::Back); });
    connect(next_, &QPushButton::clicked, this, [this] {
        if (!closeDetails(true)) end(PageResult::Next);
    });
    connect(skip_, &QPushButton::clicked, this, [this] { end(PageResult::Skip); });
    connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });
    connect(help_, &QPushButton::clicked, this, [this] {
        if (actions_.help) actions_.help();
    });
    return row;
}

QAbstractButton* WizardDialog::choiceButton(std::size_t index) const {
    return index < choices_.size() ? choices_[index] : nullptr;
}

QLineEdit* WizardDialog::edit(std::size_t index) const {
    return index < edits_.size() ? edits_[index] : nullptr;
}

QPushButton* WizardDialog::browseButton(std::size_t index) const {
    return index < browses_.size() ? browses_[index] : nullptr;
}

PageResult WizardDialog::run() {
    return static_cast<PageResult>(exec());
}

// The field's rules decide what the edit holds (case, digits, length); the edit shows it.
void WizardDialog::edited(std::size_t index) {
    EditField& field = page_.fields[index];
    QLineEdit* edit = edits_[index];
    field.setText(edit->text().toStdString());
    const QString kept = qt(field.text());
    if (kept != edit->text()) {
        const int cursor = edit->cursorPosition();
        edit->setText(kept);
        edit->setCursorPosition(std::min(cursor, static_cast<int>(kept.size())));
    }
    updateButtons();
}

void WizardDialog::browse(std::size_t index) {
    if (!actions_.browse) return;
    const auto chosen = actions_.browse(page_.fields[index].text());
    if (!chosen) return;
    page_.fields[index].setText(*chosen);
    edits_[index]->setText(qt(page_.fields[index].text()));
    edits_[index]->selectAll();
    edits_[index]->setFocus();
    updateButtons();
}

void WizardDialog::updateButtons() {
    back_->setEnabled(page_.backEnabled);
    next_->setEnabled(page_.nextEnabled());
    // A Details level is left with Finish or Cancel only.
    if (page_.components) back_->setVisible(page_.backVisible && !page_.components->inDetails());
}

bool WizardDialog::closeDetails(bool keep) {
    if (!page_.components || !page_.components->inDetails()) return false;
    if (keep) {
        page_.components->finishDetails();
    } else {
        page_.components->cancelDetails();
    }
    components_->refresh();
    updateButtons();
    return true;
}

void WizardDialog::end(PageResult result) {
    if (page_.accepts(result)) done(static_cast<int>(result));
}

void WizardDialog::reject() {
    if (closeDetails(false)) return;
    if (!actions_.confirmCancel || actions_.confirmCancel())
        done(static_cast<int>(PageResult::Cancel));
}

void WizardDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (page_.beep) QApplication::beep();
}

void WizardDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && page_.helpVisible && actions_.help) {
        actions_.help();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace kestrel::setup
