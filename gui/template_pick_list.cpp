#include "gui/template_pick_list.h"

#include "platform/qt/text_convert.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

namespace qorvi {
namespace {

constexpr int kNameRole = Qt::UserRole + 1;
constexpr int kVisibleRows = 12;

QFont listFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(8);
    return font;
}

QFont boldFont() {
    QFont font = listFont();
    font.setBold(true);
    return font;
}

// The description at 2 pixels from the left, the name in bold at the
// widest description + 24.
class PickListDelegate : public QStyledItemDelegate {
public:
    explicit PickListDelegate(QObject* parent) : QStyledItemDelegate(parent) {}
    int nameColumn = 0;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        painter->save();
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(option.rect, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
        painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(listFont());
        const QRect r = option.rect;
        painter->drawText(r.adjusted(2, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, index.data().toString());
        painter->setFont(boldFont());
        painter->drawText(r.adjusted(nameColumn, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                          index.data(kNameRole).toString());
        painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {nameColumn, QFontMetrics(boldFont()).height() + 2};
    }
};

} // namespace

TemplatePickList::TemplatePickList(QWidget* parent) : QListWidget(parent) {
    setFont(listFont());
    setFrameShape(QFrame::Box);
    setItemDelegate(new PickListDelegate(this));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::SingleSelection);
    hide();
}

void TemplatePickList::showItems(const std::vector<std::string>& items, int selected, const QRect& caret) {
    clear();
    const QFontMetrics plain(listFont());
    const QFontMetrics bold(boldFont());
    int widestDescription = 0;
    int widestName = 0;
    for (const std::string& item : items) {
        const std::size_t tab = item.find('\t');
        const QString description = toQString(item.substr(0, tab));
        const QString name = toQString(tab == std::string::npos ? std::string() : item.substr(tab + 1));
        widestDescription = std::max(widestDescription, plain.horizontalAdvance(description));
        widestName = std::max(widestName, bold.horizontalAdvance(name));
        auto* entry = new QListWidgetItem(description, this);
        entry->setData(kNameRole, name);
    }
    static_cast<PickListDelegate*>(itemDelegate())->nameColumn = widestDescription + 24;
    const int rowHeight = bold.height() + 2;
    const int width = widestDescription + widestName + 48;
    const int height =
        std::min<int>(static_cast<int>(items.size()), kVisibleRows) * rowHeight + 2 * frameWidth();
    const QWidget* owner = parentWidget();
    int x = caret.left();
    int y = caret.bottom() + 1;
    if (owner) {
        if (y + height > owner->height() && caret.top() - height >= 0)
            y = caret.top() - height;
        x = std::max(0, std::min(x, owner->width() - width));
    }
    setGeometry(x, y, width, height);
    if (count() > 0)
        setCurrentRow(std::clamp(selected, 0, count() - 1));
    active_ = true;
    show();
    raise();
    setFocus(Qt::PopupFocusReason);
}

void TemplatePickList::dismiss() {
    active_ = false;
    hide();
}

void TemplatePickList::finish(bool chosen) {
    if (!active_)
        return;
    active_ = false;
    const int row = currentRow();
    hide();
    if (chosen && onChosen)
        onChosen(row);
    else if (!chosen && onClosed)
        onClosed();
}

void TemplatePickList::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        finish(true);
        return;
    case Qt::Key_Escape:
        finish(false);
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        QListWidget::keyPressEvent(event);
        return;
    default:
        break;
    }
    const std::string typed = fromQString(event->text());
    if (typed.size() == 1 && static_cast<unsigned char>(typed[0]) >= 32 && onKey) {
        const int row = onKey(typed[0]);
        if (row >= 0 && row < count())
            setCurrentRow(row);
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void TemplatePickList::mouseDoubleClickEvent(QMouseEvent* event) {
    if (QListWidgetItem* item = itemAt(event->position().toPoint())) {
        setCurrentItem(item);
        finish(true);
        return;
    }
    QListWidget::mouseDoubleClickEvent(event);
}

void TemplatePickList::focusOutEvent(QFocusEvent* event) {
    QListWidget::focusOutEvent(event);
    finish(false);
}

} // namespace qorvi
