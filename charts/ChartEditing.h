// The custom chart between its list items and the editor's table of rows:
// the title from the title item, one row (key, description) per further
// item, and back.  Also the table's key rules.  QtCore only; the dialog
// and the window only move these values in and out of their controls.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace zembrik {

struct TChartRow {
    QString key; // the note number as typed
    QString description;
    bool operator==(const TChartRow &) const = default;
};

struct TChartTable {
    QString title;
    QList<TChartRow> rows;
};

// Title and rows of a chart list.  An empty list gives the custom chart's
// own title and no rows.
TChartTable ChartToTable(const QStringList &items);
// The chart list of a table: the title item, then one entry per row; an
// empty table gives one entry with the number 0, as its one empty row.
QStringList TableToChart(const TChartTable &table);

// Why key cannot go into row of the table, or an empty string: a key with
// "=", or a non-empty key another row already has (any letter case).
QString KeyRefusal(const QList<TChartRow> &rows, int row, const QString &key);
// The first refusal of any row of the table, or an empty string.
QString TableRefusal(const QList<TChartRow> &rows);
// A table whose rows would give two entries with the same number (keys
// "38" and "038", or two keys that are no numbers): the refusal for the
// second of them, or an empty string.
QString RepeatedNumberRefusal(const QList<TChartRow> &rows);

} // namespace zembrik
