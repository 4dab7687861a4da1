#include "charts/ChartWidgets.h"

#include "charts/TaggedText.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QTextDocument>

namespace zembrik {

namespace {

void layoutDocument(QTextDocument &doc, const QStyleOptionViewItem &option, const QModelIndex &index,
                    bool colours = true)
{
    doc.setDefaultFont(option.font);
    doc.setDocumentMargin(1);
    doc.setHtml(TaggedToRichText(index.data(Qt::DisplayRole).toString(), colours));
    const int width = option.rect.width() > 0 ? option.rect.width() : option.widget ? option.widget->width() : -1;
    doc.setTextWidth(width);
}

} // namespace

void TTaggedItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear();
    const QWidget *widget = opt.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    const bool selected = opt.state & QStyle::State_Selected;
    QTextDocument doc;
    layoutDocument(doc, option, index, !selected); // a selected item in one colour
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.palette = opt.palette;
    ctx.palette.setColor(QPalette::Text, opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->save();
    painter->translate(option.rect.topLeft());
    painter->setClipRect(option.rect.translated(-option.rect.topLeft()));
    doc.documentLayout()->draw(painter, ctx);
    painter->restore();
}

QSize TTaggedItemDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    if (auto *view = qobject_cast<const QAbstractItemView *>(option.widget))
        opt.rect.setWidth(view->viewport()->width());
    QTextDocument doc;
    layoutDocument(doc, opt, index);
    return QSize(int(doc.idealWidth()), int(doc.size().height()));
}

void SetupChartList(QListWidget *list, bool drags)
{
    list->setItemDelegate(new TTaggedItemDelegate(list));
    list->setFrameShape(QFrame::NoFrame);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setWordWrap(true);
    list->setResizeMode(QListView::Adjust);
    list->setUniformItemSizes(false);
    // The page's (or dialog's) colour instead of the edit colour.
    QPalette pal = list->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::Window));
    list->setPalette(pal);
    if (drags) {
        list->setDragEnabled(true);
        list->setDragDropMode(QAbstractItemView::DragOnly);
        list->setDefaultDropAction(Qt::CopyAction);
    }
}

void SetChartItems(QListWidget *list, const QStringList &items)
{
    list->clear();
    list->addItems(items);
}

QStringList ChartItems(const QListWidget *list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items.append(list->item(i)->text());
    return items;
}

void SetTaggedText(QLabel *label, const QString &tagged)
{
    label->setTextFormat(Qt::RichText);
    label->setText(TaggedToRichText(tagged));
}

void TNoteCellHooks::Install(QLineEdit *cell)
{
    cell->setAcceptDrops(true);
    cell->installEventFilter(this);
}

bool TNoteCellHooks::eventFilter(QObject *watched, QEvent *event)
{
    auto *cell = qobject_cast<QLineEdit *>(watched);
    if (!cell)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *e = static_cast<QDragMoveEvent *>(event);
        // Always a copy: a move would take the entry out of its chart.
        if (DragOver && DragOver(cell, e->source())) {
            e->setDropAction(Qt::CopyAction);
            e->accept();
        } else
            e->ignore();
        return true; // the cell's own text drop never runs
    }
    case QEvent::Drop: {
        auto *e = static_cast<QDropEvent *>(event);
        if (DragOver && DragOver(cell, e->source())) {
            e->setDropAction(Qt::CopyAction);
            e->accept();
            if (DragDrop)
                DragDrop(cell, e->source());
        } else {
            e->ignore();
        }
        return true;
    }
    case QEvent::FocusIn: {
        // Entering the cell, not the window coming back to the front.
        const Qt::FocusReason why = static_cast<QFocusEvent *>(event)->reason();
        if (Enter && why != Qt::ActiveWindowFocusReason && why != Qt::PopupFocusReason)
            Enter(cell);
        return false;
    }
    case QEvent::KeyPress: {
        auto *e = static_cast<QKeyEvent *>(event);
        return KeyPress && KeyPress(cell, e->key(), e->modifiers());
    }
    default:
        return false;
    }
}

} // namespace zembrik
