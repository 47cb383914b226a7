#include "ui/qt/ComponentPanel.h"

#include <QApplication>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "ui/qt/CheckPictures.h"

namespace kestrel::setup {

namespace {

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

constexpr int kLookRole = Qt::UserRole + 1;
constexpr int kStateRole = Qt::UserRole + 2;
constexpr int kRadioRole = Qt::UserRole + 3;
constexpr int kPictureNameRole = Qt::UserRole + 4;
constexpr int kIconSide = 16;

// Draws a row: the check-state picture, the component's picture, the text.
class ComponentDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        painter->save();
        const bool current = option.state & QStyle::State_Selected;
        const QPalette& palette = option.palette;
        if (current) painter->fillRect(option.rect, palette.highlight());
        CheckPicture picture;
        picture.look = static_cast<CheckLook>(index.data(kLookRole).toInt());
        picture.state = static_cast<CheckState>(index.data(kStateRole).toInt());
        picture.radio = index.data(kRadioRole).toBool();
        picture.name = index.data(kPictureNameRole).toString().toStdString();
        const int column = ComponentListWidget::pictureColumnWidth();
        const QRect pictureBox(option.rect.left(), option.rect.top(), column, option.rect.height());
        painter->fillRect(pictureBox, palette.base());
        paintCheckPicture(*painter, pictureBox, picture);
        int x = option.rect.left() + column + 2;
        const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
        if (!icon.isNull()) {
            icon.paint(painter, QRect(x, option.rect.top() + (option.rect.height() - kIconSide) / 2,
                                      kIconSide, kIconSide));
            x += kIconSide + 4;
        }
        painter->setPen(current ? palette.highlightedText().color() : palette.text().color());
        painter->drawText(
            QRect(x, option.rect.top(), option.rect.right() - x, option.rect.height()),
            Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
            index.data(Qt::DisplayRole).toString());
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), kCheckPictureSize + 4));
        return size;
    }
};

}  // namespace

ComponentListWidget::ComponentListWidget(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("components"));
    setItemDelegate(new ComponentDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void ComponentListWidget::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && currentRow() >= 0) {
        emit toggleRequested(currentRow());
        return;
    }
    QListWidget::keyPressEvent(event);
}

void ComponentListWidget::mousePressEvent(QMouseEvent* event) {
    QListWidget::mousePressEvent(event);
    const QPoint at = event->position().toPoint();
    const int row = indexAt(at).row();
    if (row >= 0 && event->button() == Qt::LeftButton && at.x() < pictureColumnWidth())
        emit toggleRequested(row);
}

ComponentPanel::ComponentPanel(ComponentPage& page, QWidget* parent)
    : QWidget(parent), page_(page) {
    list_ = new ComponentListWidget(this);
    description_ = new QLabel(this);
    description_->setObjectName(QStringLiteral("description"));
    description_->setWordWrap(true);
    description_->setTextFormat(Qt::PlainText);
    description_->setMinimumHeight(40);
    description_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("count"));
    details_ = new QPushButton(QStringLiteral("&Details..."), this);
    details_->setObjectName(QStringLiteral("details"));
    details_->setAutoDefault(false);
    directory_ = new QLabel(qt(page.directory()), this);
    directory_->setObjectName(QStringLiteral("directory"));
    needed_ = new QLabel(this);
    needed_->setObjectName(QStringLiteral("needed"));
    available_ = new QLabel(qt(page.availableText()), this);
    available_->setObjectName(QStringLiteral("available"));

    auto* countRow = new QHBoxLayout;
    countRow->addWidget(count_, 1);
    countRow->addWidget(details_);
    auto* figures = new QFormLayout;
    figures->addRow(directory_);
    figures->addRow(new QLabel(qt(page.neededLabel()), this), needed_);
    figures->addRow(new QLabel(qt(page.availableLabel()), this), available_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_, 1);
    layout->addWidget(description_);
    layout->addLayout(countRow);
    layout->addLayout(figures);

    connect(list_, &ComponentListWidget::toggleRequested, this, &ComponentPanel::toggle);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (refreshing_ || row < 0) return;
        page_.setCurrent(row);
        showCurrent();
    });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { openDetails(); });
    connect(details_, &QPushButton::clicked, this, &ComponentPanel::openDetails);
    refresh();
}

void ComponentPanel::refresh() {
    refreshing_ = true;
    const std::vector<ComponentPage::Row> rows = page_.rows();
    list_->clear();
    for (const ComponentPage::Row& row : rows) {
        auto* item = new QListWidgetItem(qt(row.text), list_);
        item->setData(kLookRole, static_cast<int>(row.picture.look));
        item->setData(kStateRole, static_cast<int>(row.picture.state));
        item->setData(kRadioRole, row.picture.radio);
        item->setData(kPictureNameRole, qt(row.picture.name));
        if (!row.iconFile.empty()) item->setIcon(QIcon(qt(row.iconFile)));
    }
    if (!rows.empty()) list_->setCurrentRow(page_.current());
    refreshing_ = false;
    showCurrent();
}

void ComponentPanel::showCurrent() {
    description_->setText(qt(page_.description()));
    count_->setText(qt(page_.countText()));
    details_->setEnabled(page_.detailsEnabled());
    needed_->setText(qt(page_.neededText()));
}

void ComponentPanel::toggle(int row) {
    if (!page_.toggle(row)) {
        QApplication::beep();
        return;
    }
    refresh();
}

void ComponentPanel::openDetails() {
    if (!page_.openDetails()) return;
    refresh();
    emit levelChanged();
}

}  // namespace kestrel::setup
