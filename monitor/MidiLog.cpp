#include "monitor/MidiLog.h"

#include <algorithm>
#include <array>
#include <utility>

namespace zembrik {

namespace {

const QStringList kHeadings{QStringLiteral("Interval"), QStringLiteral("Event"), QStringLiteral("Note"),
                            QStringLiteral("Velocity")};

// Windows-1252 0x80..0x9F.  The five bytes the code page leaves undefined
// map to the C1 controls of the same value, so that every byte round-trips.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Quoted when the reader would otherwise split or unquote it.
QString csvCell(const QString &cell)
{
    if (!cell.contains(QLatin1Char(',')) && !cell.contains(QLatin1Char('"')))
        return cell;
    QString quoted = cell;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString unquote(const QString &field)
{
    if (!field.startsWith(QLatin1Char('"')))
        return field;
    QString out;
    for (qsizetype i = 1; i < field.size(); ++i) {
        if (field[i] == QLatin1Char('"')) {
            if (i + 1 < field.size() && field[i + 1] == QLatin1Char('"')) {
                out += QLatin1Char('"');
                ++i;
                continue;
            }
            break; // the closing quote; the rest is dropped
        }
        out += field[i];
    }
    return out;
}

QStringList splitFields(const QString &line)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (QChar c : line) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (c == QLatin1Char(',') && !quoted) {
            fields << unquote(field);
            field.clear();
            continue;
        }
        field += c;
    }
    fields << unquote(field);
    return fields;
}

} // namespace

TMidiLog::TMidiLog(QObject *parent) : TMidiLog(kDefaultRows, parent) {}

TMidiLog::TMidiLog(int gridRows, QObject *parent) : QAbstractTableModel(parent)
{
    rows_.assign(static_cast<std::size_t>(std::max(gridRows, 3)), QStringList(kLogColumns, QString()));
    ClearLog();
}

// --- The grid ---------------------------------------------------------------------

QString TMidiLog::Cell(int row, int column) const
{
    if (row < 0 || row >= GridRowCount() || column < 0 || column >= columns_)
        return {};
    return rows_[static_cast<std::size_t>(row)].at(column);
}

QStringList TMidiLog::Row(int row) const
{
    if (row < 0 || row >= GridRowCount())
        return {};
    return rows_[static_cast<std::size_t>(row)];
}

void TMidiLog::setCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= GridRowCount() || column < 0 || column >= columns_)
        return;
    QString &cell = rows_[static_cast<std::size_t>(row)][column];
    if (cell == text)
        return;
    cell = text;
    if (deferred_) {
        const bool first = dirtyFirst_ < 0 && pendingSelect_ < 0;
        dirtyFirst_ = dirtyFirst_ < 0 ? row : std::min(dirtyFirst_, row);
        dirtyLast_ = std::max(dirtyLast_, row);
        if (first)
            emit ChangesPending();
    } else if (row == 0) {
        emit headerDataChanged(Qt::Horizontal, column, column);
    } else {
        emit dataChanged(index(row - 1, column), index(row - 1, column), {Qt::DisplayRole});
    }
}

void TMidiLog::select(int gridRow)
{
    if (!deferred_) {
        emit SelectRow(gridRow);
        return;
    }
    const bool first = dirtyFirst_ < 0 && pendingSelect_ < 0;
    pendingSelect_ = gridRow;
    if (first)
        emit ChangesPending();
}

void TMidiLog::FlushChanges()
{
    const int first = std::exchange(dirtyFirst_, -1);
    const int last = std::exchange(dirtyLast_, -1);
    const int selectRow = std::exchange(pendingSelect_, -1);
    if (first == 0)
        emit headerDataChanged(Qt::Horizontal, 0, columns_ - 1);
    const int from = std::max(first, 1);
    if (first >= 0 && last >= from && last < GridRowCount())
        emit dataChanged(index(from - 1, 0), index(last - 1, columns_ - 1), {Qt::DisplayRole});
    if (selectRow >= 0)
        emit SelectRow(selectRow);
}

void TMidiLog::clearRow(int row)
{
    for (int c = 0; c < columns_; ++c)
        setCell(row, c, QString());
}

void TMidiLog::reset(int rows, int columns)
{
    beginResetModel();
    dirtyFirst_ = dirtyLast_ = -1;
    rows_.assign(static_cast<std::size_t>(std::max(rows, 1)), QStringList(std::max(columns, 1), QString()));
    columns_ = std::max(columns, 1);
    endResetModel();
}

void TMidiLog::ClearLog()
{
    if (columns_ < kLogColumns)
        reset(GridRowCount(), kLogColumns);
    for (int r = 0; r < GridRowCount(); ++r)
        clearRow(r);
    for (int c = 0; c < kLogColumns; ++c)
        setCell(0, c, kHeadings[c]);
    currentRow_ = 0;
    intervalClock_.reset();
    select(1);
}

void TMidiLog::ReleaseRows()
{
    const bool keep = noteRowOpen_ && currentRow_ >= 1;
    const QStringList open = Row(currentRow_);
    for (int r = 1; r < GridRowCount(); ++r)
        clearRow(r);
    currentRow_ = 0;
    if (keep) {
        for (int c = 0; c < columns_; ++c)
            setCell(1, c, open.value(c));
        currentRow_ = 1;
    }
    select(std::max(currentRow_, 1));
}

void TMidiLog::PrepareForLogging()
{
    if (GridRowCount() < 3)
        reset(kDefaultRows, std::max(columns_, kLogColumns));
    else if (columns_ < kLogColumns)
        reset(GridRowCount(), kLogColumns);
}

// --- Processing ---------------------------------------------------------------------

QString TMidiLog::EventText(quint8 code)
{
    static const QStringList texts{QStringLiteral("Status"),   QStringLiteral("Note ON"),  QStringLiteral("ON Vel"),
                                   QStringLiteral("Note OFF"), QStringLiteral("OFF Vel"),  QStringLiteral("Data1"),
                                   QStringLiteral("Data1of2"), QStringLiteral("Data2"),    QStringLiteral("SysEx"),
                                   QStringLiteral("CC"),       QStringLiteral("Pedal Pos")};
    return code < texts.size() ? texts[code] : QStringLiteral("CC2");
}

void TMidiLog::ProcessLogReport(const quint8 *report, qint64 readAtMs)
{
    if (const std::optional<TLogReport> r = TLogReport::Parse(report))
        ProcessLogReport(*r, readAtMs);
}

void TMidiLog::ProcessLogReport(const TLogReport &report, qint64 readAtMs)
{
    if (report.sequence == lastSequence_)
        return; // a repeat
    lastSequence_ = report.sequence;
    if (!intervalClock_)
        intervalClock_ = readAtMs;
    // Read times are monotonic; a difference outside 0..2^31-1 (clock
    // trouble, or a gap of weeks) is shown at the nearest end.
    const qint64 interval = std::clamp<qint64>(readAtMs - *intervalClock_, 0, kMaxInterval);
    // The report holds 30 pairs; a longer announced area is cut there.
    bool first = true;
    for (const TLogPair &pair : report) {
        if (!AddLogEvent(first ? interval : 0, pair.code, pair.value))
            break;
        first = false;
    }
    intervalClock_ = readAtMs;
}

bool TMidiLog::LogBufferFull(int row)
{
    if (row < GridRowCount() - 1)
        return false;
    if (BufferFull)
        BufferFull();
    return true;
}

bool TMidiLog::newRow(qint64 interval, quint8 code, quint8 value, bool showValue, int valueColumn)
{
    const int row = currentRow_ + 1;
    if (LogBufferFull(row))
        return false;
    clearRow(row);
    setCell(row, lcInterval, QString::number(interval));
    setCell(row, lcEvent, EventText(code));
    if (showValue)
        setCell(row, valueColumn, QString::number(value));
    currentRow_ = row;
    return true;
}

bool TMidiLog::AddLogEvent(qint64 interval, quint8 code, quint8 value)
{
    const bool velocity = code == lgOnVelocity || code == lgOffVelocity;
    if (IgnoreNoteOff && (code == lgNoteOff || code == lgOffVelocity))
        return false;
    // An open note row is one that exists: after clearing, row 0 is the
    // heading and a velocity pair then makes a row of its own.
    if (velocity && noteRowOpen_ && currentRow_ >= 1) {
        setCell(currentRow_, lcVelocity, QString::number(value));
        if (value == 0) {
            if (IgnoreNoteOff) {
                clearRow(currentRow_); // a note-on with velocity 0 is a note-off
                --currentRow_;
            } else {
                setCell(currentRow_, lcEvent, EventText(lgNoteOff));
            }
        }
        noteRowOpen_ = false;
    } else if (velocity) {
        if (!newRow(interval, code, value, true, lcVelocity))
            return false;
        noteRowOpen_ = false;
    } else {
        const bool noteValue =
            code == lgNoteOn || code == lgNoteOff || code == lgControlChange || code == lgPedalPosition;
        if (!newRow(interval, code, value, noteValue, lcNote))
            return false;
        if (code == lgNoteOn || code == lgNoteOff)
            noteRowOpen_ = true;
        else if (code != lgControlChange && code != lgPedalPosition)
            noteRowOpen_ = false;
    }
    select(currentRow_);
    return true;
}

// --- The log file ---------------------------------------------------------------------

QString TMidiLog::ToWindows1252(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<quint8>(ch);
        text += (b >= 0x80 && b < 0xA0) ? QChar(kHighControls[b - 0x80]) : QChar(char16_t(b));
    }
    return text;
}

QByteArray TMidiLog::FromWindows1252(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes += static_cast<char>(u);
            continue;
        }
        const auto *hit = std::find(kHighControls.begin(), kHighControls.end(), u);
        bytes += hit != kHighControls.end() ? static_cast<char>(0x80 + (hit - kHighControls.begin())) : '?';
    }
    return bytes;
}

QByteArray TMidiLog::ToCsv() const
{
    QString text;
    for (const QStringList &row : rows_) {
        QStringList cells;
        for (int c = 0; c < columns_; ++c)
            cells << csvCell(row.at(c));
        text += cells.join(QLatin1Char(',')) + QLatin1String("\r\n");
    }
    return FromWindows1252(text);
}

std::vector<QStringList> TMidiLog::ParseCsv(const QByteArray &bytes)
{
    const QString text = ToWindows1252(bytes);
    std::vector<QStringList> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.push_back(splitFields(text.mid(start, i - start)));
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size()) // a last line without its line end
        lines.push_back(splitFields(text.mid(start)));
    return lines;
}

void TMidiLog::LoadCsv(const QByteArray &bytes)
{
    const std::vector<QStringList> lines = ParseCsv(bytes);
    int columns = 1;
    for (const QStringList &fields : lines)
        columns = std::max(columns, static_cast<int>(fields.size()));
    beginResetModel();
    dirtyFirst_ = dirtyLast_ = -1;
    columns_ = columns;
    rows_.assign(std::max<std::size_t>(lines.size(), 1), QStringList(columns, QString()));
    for (std::size_t r = 0; r < lines.size(); ++r)
        for (int c = 0; c < lines[r].size(); ++c)
            rows_[r][c] = lines[r][c];
    currentRow_ = 0;
    endResetModel();
}

// --- The table model -------------------------------------------------------------------

int TMidiLog::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : GridRowCount() - 1;
}

int TMidiLog::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : columns_;
}

QVariant TMidiLog::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return Cell(index.row() + 1, index.column());
}

QVariant TMidiLog::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return Cell(0, section);
    return section + 1;
}

} // namespace zembrik
