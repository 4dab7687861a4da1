#include "charts/ChartPanel.h"

#include "Modules/GuiLib.h"
#include "charts/ChartWidgets.h"
#include "charts/NoteCharts.h"
#include "maps/MapPage.h"
#include "shell/Controls.h"
#include "shell/WidgetBuild.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace zembrik {

using namespace build;

namespace {
int cellNumber(const QString &text)
{
    bool ok = false;
    const int n = text.toInt(&ok, 10);
    return ok ? n : NoNote;
}
} // namespace

TChartPanel::TChartPanel(TMapPage &mapPage) : QWidget(&mapPage), mapPage_(mapPage)
{
    setObjectName(QStringLiteral("chartPanel"));
    setGeometry(486, 4, 192, 368);
    pageNoteCharts = named(new TPageControl(this), "pageNoteCharts");
    pageNoteCharts->setGeometry(0, 0, 192, 368);
    const char *pages[7][3] = {
        {"tabDrum0", "Generic Drums", "listNotes0"}, {"tabDrum1", "Yamaha DTXplorer", "listNotes1"},
        {"tabDrum2", "Yamaha DD65", "listNotes2"},   {"tabDrum3", "Roland TD-6", "listNotes3"},
        {"tabDrum5", "Roland HD-1", "JvHTListBox1"}, {"tabTD20", "Roland TD-20", "listNotesTD20"},
        {"tabDrum4", "Custom", "listNotes4"},
    };
    for (int i = 0; i < 7; ++i) {
        QWidget *page = pageNoteCharts->AddPage(QLatin1String(pages[i][0]), QLatin1String(pages[i][1]));
        auto *list = named(new QListWidget(page), pages[i][2]);
        list->setFrameShape(QFrame::NoFrame);
        list->setAccessibleName(QLatin1String(pages[i][1]));
        chartLists[i] = list;
    }
    const QRect r = pageNoteCharts->PageRect();
    const int customHeight = std::min(317, r.height() - 30); // room for "Edit.."
    for (int i = 0; i < 7; ++i)
        chartLists[i]->setGeometry(0, 0, r.width(), i == 6 ? customHeight : r.height());
    btnEditNoteChart = button(pageNoteCharts->Page(6), QStringLiteral("Edit.."),
                              QRect(r.width() / 2 - 40, customHeight + 3, 80, 24), "btnEditNoteChart");

    // The lists are filled by the chart tables.
    const QList<TChart> &charts = NoteCharts();
    for (int i = 0; i < ChartCount; ++i) {
        SetupChartList(chartLists[i]);
        SetChartItems(chartLists[i], ChartItems(charts[i]));
    }

    timerSelect = new QTimer(this);
    timerSelect->setObjectName(QStringLiteral("timerSelect"));
    timerSelect->setSingleShot(true);
    timerSelect->setInterval(25);
    connect(timerSelect, &QTimer::timeout, this, &TChartPanel::timerSelectTimer);

    cellHooks_ = new TNoteCellHooks(this);
    cellHooks_->DragOver = [this](QLineEdit *c, QObject *s) { return editNote10DragOver(c, s); };
    cellHooks_->DragDrop = [this](QLineEdit *c, QObject *s) { editNote10DragDrop(c, s); };
    cellHooks_->Enter = [this](QLineEdit *c) { editNote10Enter(c); };
    cellHooks_->KeyPress = [this](QLineEdit *c, int k, Qt::KeyboardModifiers m) { return editNote10KeyPress(c, k, m); };
    for (auto &column : mapPage_.editNote)
        for (TNoteCell *cell : column)
            cellHooks_->Install(cell);

    connect(btnEditNoteChart, &QPushButton::clicked, this, &TChartPanel::btnEditNoteChartClick);
    connect(pageNoteCharts, &TPageControl::Change, this, &TChartPanel::pageNoteChartsChange);
    pageNoteCharts->SetActivePageIndex(0);
    pageNoteChartsChange(0);
}

void TChartPanel::pageNoteChartsChange(int)
{
    const int index = pageNoteCharts->ActivePageIndex();
    CurrentChartList = FindControlByTag<QListWidget>(pageNoteCharts->Page(index), 0);
    SetTag(pageNoteCharts, index);
}

bool TChartPanel::editNote10DragOver(QLineEdit *, QObject *source)
{
    return source && source == CurrentChartList;
}

void TChartPanel::editNote10DragDrop(QLineEdit *cell, QObject *source)
{
    if (!editNote10DragOver(cell, source))
        return;
    const QList<QListWidgetItem *> selected = CurrentChartList->selectedItems();
    if (selected.isEmpty())
        return;
    const int note = NoteOfItem(selected.first()->text());
    if (note != -1)
        mapPage_.SetCell(qobject_cast<TNoteCell *>(cell), note);
}

void TChartPanel::editNote10Enter(QLineEdit *cell)
{
    CellEntered(Tag(cell));
    timerSelect->start();
}

bool TChartPanel::editNote10KeyPress(QLineEdit *, int key, Qt::KeyboardModifiers modifiers)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    // Goes up to the window, which moves the focus along its chain.
    focusNextPrevChild(!(modifiers & Qt::ShiftModifier));
    return true;
}

void TChartPanel::timerSelectTimer()
{
    timerSelect->stop();
    auto *cell = qobject_cast<TNoteCell *>(QApplication::focusWidget());
    const int tag = cell ? Tag(cell) : 0;
    const int o = tag / 10 - 1, s = tag % 10;
    if (cell && o >= 0 && o < MaxOutputs && mapPage_.editNote[o][s] == cell)
        cell->selectAll();
}

void TChartPanel::CellEntered(int tag)
{
    const int o = tag / 10 - 1;
    const int s = tag % 10;
    for (int out = 0; out < MaxOutputs; ++out)
        for (int slot = 0; slot < MaxNotesPerOutput; ++slot) {
            TNoteCell *cell = mapPage_.editNote[out][slot];
            const int n = cellNumber(cell->text());
            if (out == o && slot == s)
                SelectChartItemForNote(n);
            else if (n == NoNote && !cell->text().isEmpty())
                cell->SetValueText(QString());
        }
}

void TChartPanel::SelectChartItemForNote(int n)
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

void TChartPanel::btnEditNoteChartClick()
{
    if (!chartEditor_)
        return;
    ChartToEditor(CurrentChartList);
    if (chartEditor_->Edit())
        EditorToChart(CurrentChartList);
}

void TChartPanel::ChartToEditor(QListWidget *list)
{
    chartEditor_->SetTable(ChartToTable(ChartItems(list)));
}

void TChartPanel::EditorToChart(QListWidget *list)
{
    SetChartItems(list, TableToChart(chartEditor_->Table()));
    list->clearSelection();
}

} // namespace zembrik
