#include "Modules/EditNoteChart.h"

#include "charts/ChartWidgets.h"
#include "shell/Prompter.h"
#include "shell/WindowFonts.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyledItemDelegate>

namespace zembrik {

// The grid's cell editor: a line edit whose keys go through the grid's rules
// first, and whose key is checked before it is stored.
class TKeyValueDelegate : public QStyledItemDelegate {
public:
    explicit TKeyValueDelegate(TValueListEditor *grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *e = new QLineEdit(parent);
        e->setFrame(false);
        grid_->editor_ = e;
        return e;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        static_cast<QLineEdit *>(editor)->setText(index.data(Qt::EditRole).toString());
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        const QString text = static_cast<QLineEdit *>(editor)->text();
        if (text == index.data(Qt::EditRole).toString())
            return;
        if (index.column() == 0) {
            const QString why = KeyRefusal(grid_->Rows(), index.row(), text);
            if (!why.isEmpty()) {
                grid_->refused_ = true;
                static_cast<QLineEdit *>(editor)->setText(index.data(Qt::EditRole).toString());
                emit grid_->Refused(why);
                return;
            }
        }
        model->setData(index, text, Qt::EditRole);
    }

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto *k = static_cast<QKeyEvent *>(event);
            if (grid_->HandleKey(k->key(), k->modifiers()))
                return true;
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    TValueListEditor *grid_;
};

TValueListEditor::TValueListEditor(QWidget *parent) : QTableWidget(parent)
{
    setColumnCount(2);
    setHorizontalHeaderLabels({QStringLiteral("MIDI Note"), QStringLiteral("Description")});
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(18);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
    // The description takes the rest of the width (159 pixels beside a
    // thin scroll bar): a wider column would scroll the keys out of sight.
    setColumnWidth(0, 62);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The cell editor is always shown.
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    setItemDelegate(new TKeyValueDelegate(this));
    SetRows({});
}

QString TValueListEditor::cellText(int row, int column) const
{
    const QTableWidgetItem *it = item(row, column);
    return it ? it->text() : QString();
}

void TValueListEditor::SetRows(const QList<TChartRow> &rows)
{
    if (editor_)
        closeEditor(editor_, QAbstractItemDelegate::NoHint);
    clearContents();
    setRowCount(0);
    const QList<TChartRow> shown = rows.isEmpty() ? QList<TChartRow>{TChartRow{}} : rows;
    setRowCount(int(shown.size()));
    for (int r = 0; r < rowCount(); ++r) {
        setItem(r, 0, new QTableWidgetItem(shown[r].key));
        setItem(r, 1, new QTableWidgetItem(shown[r].description));
    }
    setCurrentCell(0, 0);
}

QList<TChartRow> TValueListEditor::Rows() const
{
    QList<TChartRow> rows;
    for (int r = 0; r < rowCount(); ++r)
        rows.append({cellText(r, 0), cellText(r, 1)});
    return rows;
}

bool TValueListEditor::rowEmpty(int row) const
{
    return cellText(row, 0).isEmpty() && cellText(row, 1).isEmpty();
}

bool TValueListEditor::CommitEdit()
{
    refused_ = false;
    if (editor_ && state() == QAbstractItemView::EditingState)
        commitData(editor_);
    return !refused_;
}

void TValueListEditor::addRow(int at)
{
    insertRow(at);
    setItem(at, 0, new QTableWidgetItem);
    setItem(at, 1, new QTableWidgetItem);
    setCurrentCell(at, 0);
}

void TValueListEditor::deleteRow(int row)
{
    if (editor_)
        closeEditor(editor_, QAbstractItemDelegate::NoHint);
    const int column = std::max(0, currentColumn());
    removing_ = true;
    removeRow(row);
    removing_ = false;
    if (rowCount() == 0) {
        addRow(0);
        return;
    }
    setCurrentCell(std::min(row, rowCount() - 1), column);
}

bool TValueListEditor::HandleKey(int key, Qt::KeyboardModifiers modifiers)
{
    const int row = currentRow();
    const bool ctrl = modifiers == Qt::ControlModifier;
    const bool plain = modifiers == Qt::NoModifier || modifiers == Qt::KeypadModifier;
    if (row < 0)
        return false;
    if (key == Qt::Key_Escape && plain) {
        if (editor_ && state() == QAbstractItemView::EditingState &&
            editor_->text() != cellText(row, currentColumn())) {
            editor_->setText(cellText(row, currentColumn()));
            return true;
        }
        if (rowEmpty(row))
            deleteRow(row);
        return true; // never closes the dialog from the grid
    }
    if (key == Qt::Key_Insert && plain) {
        if (!CommitEdit() || cellText(row, 0).isEmpty())
            return true;
        addRow(row);
        return true;
    }
    if (key == Qt::Key_Down && plain && row == rowCount() - 1) {
        if (CommitEdit() && !cellText(row, 0).isEmpty())
            addRow(rowCount());
        return true;
    }
    if (key == Qt::Key_Delete && ctrl) {
        deleteRow(row);
        return true;
    }
    if ((key == Qt::Key_Up || key == Qt::Key_Down) && ctrl) {
        setCurrentCell(key == Qt::Key_Up ? 0 : rowCount() - 1, std::max(0, currentColumn()));
        return true;
    }
    if ((key == Qt::Key_Up || key == Qt::Key_Down) && plain) {
        const int to = key == Qt::Key_Up ? row - 1 : row + 1;
        if (to >= 0 && to < rowCount())
            setCurrentCell(to, std::max(0, currentColumn()));
        return true;
    }
    return false;
}

void TValueListEditor::keyPressEvent(QKeyEvent *e)
{
    if (HandleKey(e->key(), e->modifiers()))
        return;
    // The cell editor is always open: a character typed while the grid
    // itself has the focus goes into it instead of being lost.
    if (editor_ && state() == QAbstractItemView::EditingState && !e->text().isEmpty() && e->text().at(0).isPrint()) {
        editor_->setFocus();
        QApplication::sendEvent(editor_, e);
        return;
    }
    QTableWidget::keyPressEvent(e);
}

void TValueListEditor::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableWidget::currentChanged(current, previous);
    // A row left empty for another row goes.
    if (!removing_ && previous.isValid() && current.isValid() && previous.row() != current.row() &&
        previous.row() < rowCount() && rowCount() > 1 && rowEmpty(previous.row())) {
        // Removing a row moves the current cell as well: no second removal.
        removing_ = true;
        removeRow(previous.row());
        removing_ = false;
    }
}

// --- The dialog ------------------------------------------------------------

TformEditNoteChart::TformEditNoteChart(IPrompter &prompter, QWidget *parent) : QDialog(parent), prompter_(prompter)
{
    setObjectName(QStringLiteral("formEditNoteChart"));
    setWindowTitle(QStringLiteral("Custom Note Chart"));
    // No caption buttons: OK or Cancel closes it.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFont(WindowFont());
    setFixedSize(252, 487);

    lblTitle = new QLabel(QStringLiteral("Title:"), this);
    lblTitle->setGeometry(12, 11, 30, 15);
    editTitle = new QLineEdit(this);
    editTitle->setObjectName(QStringLiteral("editTitle"));
    editTitle->setGeometry(43, 8, 201, 21);

    vlistChart = new TValueListEditor(this);
    vlistChart->setObjectName(QStringLiteral("vlistChart"));
    vlistChart->setGeometry(12, 36, 227, 343);
    connect(vlistChart, &TValueListEditor::Refused, this, [this](const QString &why) { prompter_.Error(why); });

    JvHTListBox1 = new QListWidget(this);
    JvHTListBox1->setObjectName(QStringLiteral("JvHTListBox1"));
    SetupChartList(JvHTListBox1, false);
    JvHTListBox1->setSelectionMode(QAbstractItemView::NoSelection);
    JvHTListBox1->setFocusPolicy(Qt::NoFocus);
    JvHTListBox1->setGeometry(12, 383, 227, 68);
    SetChartItems(JvHTListBox1, {QStringLiteral("Press <B>Insert</B> to insert a new entry."),
                                 QStringLiteral("Erase all data on a Row to delete it."),
                                 QStringLiteral("Press <B>Down Arrow</B> on the last row<br>"),
                                 QStringLiteral("to add a new entry.")});

    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(12, 456, 75, 25);
    btnCancel->setAutoDefault(false);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    btnOk = new QPushButton(QStringLiteral("OK"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setGeometry(96, 456, 75, 25);
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
}

void TformEditNoteChart::SetTable(const TChartTable &table)
{
    editTitle->setText(table.title);
    vlistChart->SetRows(table.rows);
}

TChartTable TformEditNoteChart::Table() const
{
    TChartTable t{editTitle->text(), vlistChart->Rows()};
    // An empty row beside others is one the user added and left: it is
    // dropped as leaving it would have dropped it.
    if (t.rows.size() > 1)
        t.rows.removeIf([](const TChartRow &r) { return r.key.isEmpty() && r.description.isEmpty(); });
    return t;
}

void TformEditNoteChart::accept()
{
    if (!vlistChart->CommitEdit())
        return;
    // Rows that would become two entries with one number (a chart opened
    // with them, or keys "38" and "038") are refused here.
    if (const QString why = RepeatedNumberRefusal(Table().rows); !why.isEmpty()) {
        prompter_.Error(why);
        return;
    }
    QDialog::accept();
}

} // namespace zembrik
