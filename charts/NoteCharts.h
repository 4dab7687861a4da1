// The note charts: the MIDI note numbers typical drum kits send for their
// pads, one chart per kit, and the user's own chart.  A chart is shown as a
// list of tagged-text items (a bold, underlined title; entries whose number
// is blue; optional lines without a number), and those items are also what
// the settings file stores for the custom chart.
//
// QtCore only: the window fills its lists from ChartItems() and asks
// NoteOfItem() what a dragged item carries.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace zembrik {

struct TChartEntry {
    int note;
    QString description;
};

struct TChart {
    QString page;    // the page's control name
    QString caption; // the page's tab caption
    QString list;    // the list's control name
    QString title;
    QList<TChartEntry> entries;
    QStringList footer; // tagged lines after the entries
};

constexpr int ChartCount = 7;
constexpr int CustomChartIndex = 6;

// The seven charts in page order; the last is the custom chart as it starts.
const QList<TChart> &NoteCharts();

QString TitleItem(const QString &title);
QString EntryItem(int note, const QString &description);
// The list items of a chart: title, entries, footer.
QStringList ChartItems(const TChart &chart);
// The items of the custom chart before the user has edited it.
QStringList DefaultCustomChart();

// The note an item carries: the text between its first ">" and the next
// "<", read as a decimal number.  -1 when there is none (title, footer, an
// entry whose number is not one, or reads as -1).
int NoteOfItem(const QString &item);
// The first item holding ">" + note + "<", or -1.
int FindItemForNote(const QStringList &items, int note);

} // namespace zembrik
