// The widget side of the note charts: lists that render tagged-text items
// and start a drag from an item, labels showing tagged text, and the hooks
// through which the note cells take drops and react to the focus and the
// Enter key.  The handlers themselves are the window's; these classes only
// deliver the events.
#pragma once

#include <QLabel>
#include <QListWidget>
#include <QStyledItemDelegate>

#include <functional>

class QLineEdit;

namespace zembrik {

// Paints each item's tagged text as rich text.
class TTaggedItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};

// Makes list a chart list: tagged items, no border, the page's colour, one
// selected item, and a drag started from an item.
void SetupChartList(QListWidget *list, bool drags = true);
void SetChartItems(QListWidget *list, const QStringList &items);
QStringList ChartItems(const QListWidget *list);
// Shows tagged text in a label.
void SetTaggedText(QLabel *label, const QString &tagged);

// Hooks of the note cells: drag over, drop, focus in and key press go to
// the window's handlers.  A drag is refused unless DragOver says yes; a key
// that KeyPress takes is not given to the cell.
class TNoteCellHooks : public QObject {
    Q_OBJECT
public:
    explicit TNoteCellHooks(QObject *parent = nullptr) : QObject(parent) {}
    void Install(QLineEdit *cell);

    std::function<bool(QLineEdit *cell, QObject *source)> DragOver;
    std::function<void(QLineEdit *cell, QObject *source)> DragDrop;
    std::function<void(QLineEdit *cell)> Enter;
    std::function<bool(QLineEdit *cell, int key, Qt::KeyboardModifiers modifiers)> KeyPress;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace zembrik
