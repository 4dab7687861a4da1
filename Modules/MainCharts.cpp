// The main window's note charts: the chart pages and their lists, the note
// cells' drag-and-drop, focus and Enter key, and the custom chart editor.
// The chart data and conversions live in charts/; these handlers move
// values between them and the controls.
#include "Modules/EditNoteChart.h"
#include "Modules/GuiLib.h"
#include "Modules/Main.h"
#include "charts/ChartEditing.h"
#include "charts/ChartWidgets.h"
#include "charts/NoteCharts.h"
#include "shell/Controls.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace zembrik {

namespace {
int cellNumber(const QString &text)
{
    bool ok = false;
    const int n = text.toInt(&ok, 10);
    return ok ? n : NoNote;
}
} // namespace

void TformMain::FormCreateCharts()
{
    const QList<TChart> &charts = NoteCharts();
    for (int i = 0; i < ChartCount; ++i) {
        SetupChartList(chartLists[i]);
        SetChartItems(chartLists[i], ChartItems(charts[i]));
    }
    SetTaggedText(lblHelp, lblHelp->text());

    timerSelect = new QTimer(this);
    timerSelect->setObjectName(QStringLiteral("timerSelect"));
    timerSelect->setSingleShot(true);
    timerSelect->setInterval(25);
    connect(timerSelect, &QTimer::timeout, this, &TformMain::timerSelectTimer);

    cellHooks_ = new TNoteCellHooks(this);
    cellHooks_->DragOver = [this](QLineEdit *c, QObject *s) { return editNote10DragOver(c, s); };
    cellHooks_->DragDrop = [this](QLineEdit *c, QObject *s) { editNote10DragDrop(c, s); };
    cellHooks_->Enter = [this](QLineEdit *c) { editNote10Enter(c); };
    cellHooks_->KeyPress = [this](QLineEdit *c, int k, Qt::KeyboardModifiers m) { return editNote10KeyPress(c, k, m); };
    for (auto &column : editNote)
        for (TNoteCell *cell : column)
            cellHooks_->Install(cell);

    formEditNoteChart = new TformEditNoteChart(prompter_, this);
    connect(btnEditNoteChart, &QPushButton::clicked, this, &TformMain::btnEditNoteChartClick);
    connect(pageNoteCharts, &TPageControl::Change, this, &TformMain::pageNoteChartsChange);
    pageNoteCharts->SetActivePageIndex(0);
    pageNoteChartsChange(0);
}

void TformMain::pageNoteChartsChange(int)
{
    const int index = pageNoteCharts->ActivePageIndex();
    CurrentChartList = FindControlByTag<QListWidget>(pageNoteCharts->Page(index), 0);
    SetTag(pageNoteCharts, index);
}

bool TformMain::editNote10DragOver(QLineEdit *, QObject *source)
{
    return source && source == CurrentChartList;
}

void TformMain::editNote10DragDrop(QLineEdit *cell, QObject *source)
{
    if (!editNote10DragOver(cell, source))
        return;
    const QList<QListWidgetItem *> selected = CurrentChartList->selectedItems();
    if (selected.isEmpty())
        return;
    const int note = NoteOfItem(selected.first()->text());
    if (note != -1)
        SetCell(qobject_cast<TNoteCell *>(cell), note);
}

void TformMain::editNote10Enter(QLineEdit *cell)
{
    CellEntered(Tag(cell));
    timerSelect->start();
}

bool TformMain::editNote10KeyPress(QLineEdit *, int key, Qt::KeyboardModifiers modifiers)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    focusNextPrevChild(!(modifiers & Qt::ShiftModifier));
    return true;
}

void TformMain::timerSelectTimer()
{
    timerSelect->stop();
    auto *cell = qobject_cast<TNoteCell *>(QApplication::focusWidget());
    const int tag = cell ? Tag(cell) : 0;
    const int o = tag / 10 - 1, s = tag % 10;
    if (cell && o >= 0 && o < MaxOutputs && editNote[o][s] == cell)
        cell->selectAll();
}

void TformMain::CellEntered(int tag)
{
    const int o = tag / 10 - 1;
    const int s = tag % 10;
    for (int out = 0; out < MaxOutputs; ++out)
        for (int slot = 0; slot < MaxNotesPerOutput; ++slot) {
            TNoteCell *cell = editNote[out][slot];
            const int n = cellNumber(cell->text());
            if (out == o && slot == s)
                SelectChartItemForNote(n);
            else if (n == NoNote && !cell->text().isEmpty())
                cell->SetValueText(QString());
        }
}

void TformMain::SelectChartItemForNote(int n)
{
    if (!CurrentChartList)
        return;
    CurrentChartList->clearSelection();
    const int row = FindItemForNote(ChartItems(CurrentChartList), n);
    if (row < 0)
        return;
    CurrentChartList->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    CurrentChartList->scrollToItem(CurrentChartList->item(row));
}

void TformMain::btnEditNoteChartClick()
{
    ChartToEditor(CurrentChartList);
    if (formEditNoteChart->exec() == QDialog::Accepted)
        EditorToChart(CurrentChartList);
}

void TformMain::ChartToEditor(QListWidget *list)
{
    formEditNoteChart->SetTable(ChartToTable(ChartItems(list)));
}

void TformMain::EditorToChart(QListWidget *list)
{
    SetChartItems(list, TableToChart(formEditNoteChart->Table()));
    list->clearSelection();
}

} // namespace zembrik
