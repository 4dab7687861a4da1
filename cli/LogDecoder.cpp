#include "cli/LogDecoder.h"

#include "device/Commands.h"

namespace zembrik::cli {

namespace {
enum : int {
    evStatus,
    evNoteOn,
    evOnVelocity,
    evNoteOff,
    evOffVelocity,
    evData1,
    evData1of2,
    evData2,
    evSysEx,
    evCC,
    evPedalPos,
};
constexpr int kMaxPairs = 30; // bytes 3..62
} // namespace

QString TLogReportDecoder::EventText(int code)
{
    static const char *const names[] = {"Status",   "Note ON", "ON Vel", "Note OFF", "OFF Vel",  "Data1",
                                        "Data1of2", "Data2",   "SysEx",  "CC",       "Pedal Pos"};
    if (code >= 0 && code <= evPedalPos)
        return QString::fromLatin1(names[code]);
    return QStringLiteral("CC2");
}

void TLogReportDecoder::newRow(TLogRow row, std::vector<TLogRow> &done)
{
    if (hasCurrent_)
        done.push_back(current_);
    current_ = std::move(row);
    hasCurrent_ = true;
}

bool TLogReportDecoder::addLogEvent(qint64 interval, int code, int value, std::vector<TLogRow> &done)
{
    const QString number = QString::number(value);
    if ((code == evNoteOff || code == evOffVelocity) && ignoreNoteOff_)
        return false;
    if (code == evOnVelocity || code == evOffVelocity) {
        if (noteRowOpen_ && hasCurrent_) {
            noteRowOpen_ = false;
            current_.velocity = number;
            if (value == 0) {
                if (ignoreNoteOff_)
                    hasCurrent_ = false; // a note-on with velocity 0 is a note-off
                else
                    current_.event = EventText(evNoteOff);
            }
            return true;
        }
        noteRowOpen_ = false;
        newRow({QString::number(interval), EventText(code), QString(), number}, done);
        return true;
    }
    TLogRow row{QString::number(interval), EventText(code), QString(), QString()};
    switch (code) {
    case evNoteOn:
    case evNoteOff:
        row.note = number;
        noteRowOpen_ = true;
        break;
    case evCC:
    case evPedalPos:
        row.note = number; // the open note row stays open
        break;
    default:
        noteRowOpen_ = false;
        break;
    }
    newRow(std::move(row), done);
    return true;
}

std::vector<TLogRow> TLogReportDecoder::ProcessLogReport(const quint8 *data, int size, qint64 nowMs)
{
    std::vector<TLogRow> done;
    if (size < 3 || data[0] != kCommandMarker || data[1] == lastSequence_)
        return done;
    lastSequence_ = data[1];
    if (!clockSet_) {
        clock_ = nowMs;
        clockSet_ = true;
    }
    const qint64 interval = nowMs - clock_;
    // Never past the report's end, nor past the 30 pairs a report holds.
    const int pairs = std::min({data[2] / 2, kMaxPairs, (size - 3) / 2});
    for (int k = 0; k < pairs; ++k)
        if (!addLogEvent(k == 0 ? interval : 0, data[3 + 2 * k], data[4 + 2 * k], done))
            break;
    clock_ = nowMs;
    // The latest row is final unless it still waits for its velocity.
    if (hasCurrent_ && !noteRowOpen_) {
        done.push_back(current_);
        hasCurrent_ = false;
    }
    return done;
}

std::vector<TLogRow> TLogReportDecoder::Finish()
{
    std::vector<TLogRow> done;
    if (hasCurrent_)
        done.push_back(current_);
    hasCurrent_ = false;
    noteRowOpen_ = false;
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
