// The note charts beside the map grid: seven chart pages, each with its
// list, the custom chart's "Edit.." button, and what the note cells do with
// them: an entry of the shown list dropped on a cell puts its note there,
// entering a cell selects its note's entry, and Enter goes to the next cell.
// The chart data and conversions live in the charts library; these
// handlers move values between them and the controls.  The dialog that
// edits the custom chart is handed in by the window, which owns it.  Sits
// on the map page; UI thread only.
#pragma once

#include "charts/ChartEditing.h"

#include <QWidget>

#include <array>

class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

namespace zembrik {

class TMapPage;
class TNoteCellHooks;
class TPageControl;

// The dialog in which a chart is edited as a table.
class IChartEditor {
public:
    virtual ~IChartEditor() = default;
    virtual void SetTable(const TChartTable &table) = 0;
    virtual TChartTable Table() const = 0;
    // Shows the dialog modally; true when it was accepted.
    virtual bool Edit() = 0;
};

class TChartPanel : public QWidget {
    Q_OBJECT
public:
    // Sits on mapPage, beside its grid, and hooks into its note cells.
    explicit TChartPanel(TMapPage &mapPage);
    // The custom chart's dialog; "Edit.." does nothing until it is set.
    void SetChartEditor(IChartEditor *editor) { chartEditor_ = editor; }

    void CellEntered(int tag);
    void SelectChartItemForNote(int n);
    void ChartToEditor(QListWidget *list);
    void EditorToChart(QListWidget *list);
    bool editNote10DragOver(QLineEdit *cell, QObject *source);
    void editNote10DragDrop(QLineEdit *cell, QObject *source);
    void editNote10Enter(QLineEdit *cell);
    bool editNote10KeyPress(QLineEdit *cell, int key, Qt::KeyboardModifiers modifiers);

    TPageControl *pageNoteCharts = nullptr;
    std::array<QListWidget *, 7> chartLists{};
    QPushButton *btnEditNoteChart = nullptr;
    // The list of the active chart page: the drag source for the note cells.
    QListWidget *CurrentChartList = nullptr;
    QTimer *timerSelect = nullptr;

public slots:
    void pageNoteChartsChange(int index);
    void btnEditNoteChartClick();
    void timerSelectTimer();

private:
    TMapPage &mapPage_;
    IChartEditor *chartEditor_ = nullptr;
    TNoteCellHooks *cellHooks_ = nullptr;
};

} // namespace zembrik
