#include "charts/ChartEditing.h"

#include "Modules/GeneralLib.h"
#include "charts/NoteCharts.h"

#include <QSet>

namespace zembrik {

namespace {

// Leading and trailing blanks and control characters go.
QString trimmed(const QString &s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s.at(b).unicode() <= 0x20)
        ++b;
    while (e > b && s.at(e - 1).unicode() <= 0x20)
        --e;
    return s.mid(b, e - b);
}

int keyNumber(const QString &key)
{
    bool ok = false;
    const int n = key.toInt(&ok, 10);
    return ok ? n : 0;
}

QString repeatedKeyText(const QString &key)
{
    return QStringLiteral("A key with the name of \"%1\" already exists").arg(key);
}

} // namespace

TChartTable ChartToTable(const QStringList &items)
{
    TChartTable table;
    if (items.isEmpty()) {
        table.title = NoteCharts().at(CustomChartIndex).title;
        return table;
    }
    table.title = InnerTextOfTag(QStringLiteral("B"), items.first());
    for (qsizetype i = 1; i < items.size(); ++i) {
        const QString &item = items[i];
        const qsizetype gt = item.lastIndexOf(QLatin1Char('>'));
        table.rows.append({InnerTextOfTag(QStringLiteral("FONT"), item), trimmed(gt < 0 ? item : item.mid(gt + 1))});
    }
    return table;
}

QStringList TableToChart(const TChartTable &table)
{
    QStringList items{TitleItem(table.title)};
    const QList<TChartRow> rows = table.rows.isEmpty() ? QList<TChartRow>{TChartRow{}} : table.rows;
    for (const TChartRow &r : rows)
        items.append(EntryItem(keyNumber(r.key), r.description));
    return items;
}

QString KeyRefusal(const QList<TChartRow> &rows, int row, const QString &key)
{
    if (key.contains(QLatin1Char('=')))
        return QStringLiteral("Key may not contain equals sign (\"=\")");
    if (key.isEmpty())
        return {};
    for (qsizetype i = 0; i < rows.size(); ++i)
        if (i != row && rows[i].key.compare(key, Qt::CaseInsensitive) == 0)
            return repeatedKeyText(key);
    return {};
}

QString TableRefusal(const QList<TChartRow> &rows)
{
    for (qsizetype i = 0; i < rows.size(); ++i)
        if (const QString why = KeyRefusal(rows.mid(0, i), -1, rows[i].key); !why.isEmpty())
            return why;
    return RepeatedNumberRefusal(rows);
}

QString RepeatedNumberRefusal(const QList<TChartRow> &rows)
{
    QSet<int> seen;
    for (const TChartRow &r : rows) {
        if (r.key.isEmpty() && r.description.isEmpty())
            continue; // an empty row is dropped before it counts
        const int n = keyNumber(r.key);
        if (seen.contains(n))
            return repeatedKeyText(r.key);
        seen.insert(n);
    }
    return {};
}

} // namespace zembrik
