#include "cli/LogDecoder.h"

#include <algorithm>

namespace zembrik::cli {

TMidiLogDecoder::TMidiLogDecoder(bool ignoreNoteOff, int gridRows) : log_(std::max(gridRows, TLogReport::kMaxPairs + 3))
{
    log_.IgnoreNoteOff = ignoreNoteOff;
}

void TMidiLogDecoder::takeRows(int lastRow, std::vector<TLogRow> &done)
{
    for (int r = handedOut_ + 1; r <= lastRow; ++r) {
        const QStringList cells = log_.Row(r);
        done.push_back({cells.value(lcInterval), cells.value(lcEvent), cells.value(lcNote), cells.value(lcVelocity)});
    }
    handedOut_ = std::max(handedOut_, lastRow);
}

std::vector<TLogRow> TMidiLogDecoder::ProcessLogReport(const quint8 *data, int size, qint64 nowMs)
{
    std::vector<TLogRow> done;
    const std::optional<TLogReport> report = TLogReport::Parse(data, size);
    if (!report)
        return done;
    log_.ProcessLogReport(*report, nowMs);
    // A note-on with velocity 0 can take back the row it stood in; that row
    // was never handed out, as it waited for the velocity.
    handedOut_ = std::min(handedOut_, log_.CurrentRow());
    // The latest row is final unless it still waits for its velocity.
    const int current = log_.CurrentRow();
    takeRows(log_.NoteRowOpen() ? current - 1 : current, done);
    // Room for a whole report must remain: rows 1 .. grid rows - 2 take events.
    if (current + TLogReport::kMaxPairs > log_.GridRowCount() - 2) {
        log_.ReleaseRows(); // only an open note row stays, as row 1, not handed out
        handedOut_ = 0;
    }
    return done;
}

std::vector<TLogRow> TMidiLogDecoder::Finish()
{
    std::vector<TLogRow> done;
    takeRows(log_.CurrentRow(), done);
    return done;
}

namespace {
QString aligned(const QStringList &cells)
{
    return QStringLiteral("%1  %2  %3  %4")
        .arg(cells.value(0), 8)
        .arg(cells.value(1), -9)
        .arg(cells.value(2), 4)
        .arg(cells.value(3), 8);
}
} // namespace

QString LogHeadingText()
{
    return aligned(
        {QStringLiteral("Interval"), QStringLiteral("Event"), QStringLiteral("Note"), QStringLiteral("Velocity")});
}

QString LogRowText(const TLogRow &row)
{
    return aligned(row.Cells());
}

QString LogCsvLine(const QStringList &cells)
{
    QStringList out;
    for (QString cell : cells) {
        if (cell.contains(QLatin1Char(','))) {
            cell.replace(QLatin1Char('"'), QStringLiteral("\"\""));
            cell = QLatin1Char('"') + cell + QLatin1Char('"');
        }
        out << cell;
    }
    return out.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

} // namespace zembrik::cli
