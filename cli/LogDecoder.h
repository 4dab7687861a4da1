// What midizembrik-cli's "log" command needs of the MIDI log: one 64-byte
// log report in, the finished rows of the log table out (Interval, Event,
// Note, Velocity, as the "MIDI Logging" page shows them), and the two ways
// the command prints a row.
//
// ILogDecoder is the seam: TLogReportDecoder below is a small stand-in that
// follows the page's rules (marker, repeated sequence numbers, the interval
// clock, velocity pairs joining the open note row, "Ignore Note OFF Data")
// without the page's row limit.  A row is handed out once nothing can change
// it any more: a note row waits for its velocity.  Owned by the command;
// UI thread only.
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <memory>
#include <vector>

class QTextStream;

namespace zembrik::cli {

struct TLogRow {
    QString interval, event, note, velocity;
    QStringList Cells() const { return {interval, event, note, velocity}; }
    friend bool operator==(const TLogRow &, const TLogRow &) = default;
};

class ILogDecoder {
public:
    virtual ~ILogDecoder() = default;
    // One input report (data bytes, report-ID byte excluded) read at nowMs
    // on a monotonic clock.  Returns the rows it finished.
    virtual std::vector<TLogRow> ProcessLogReport(const quint8 *data, int size, qint64 nowMs) = 0;
    // Logging ends: the rows still held back.
    virtual std::vector<TLogRow> Finish() = 0;
};

class TLogReportDecoder : public ILogDecoder {
public:
    explicit TLogReportDecoder(bool ignoreNoteOff = true) : ignoreNoteOff_(ignoreNoteOff) {}
    std::vector<TLogRow> ProcessLogReport(const quint8 *data, int size, qint64 nowMs) override;
    std::vector<TLogRow> Finish() override;

    static QString EventText(int code);

private:
    // False: the rest of the report is dropped.
    bool addLogEvent(qint64 interval, int code, int value, std::vector<TLogRow> &done);
    void newRow(TLogRow row, std::vector<TLogRow> &done);

    bool ignoreNoteOff_;
    int lastSequence_ = -1;
    qint64 clock_ = 0;
    bool clockSet_ = false;
    bool noteRowOpen_ = false;
    bool hasCurrent_ = false;
    TLogRow current_;
};

// The log page's columns as text, one line per row, aligned.
QString LogHeadingText();
QString LogRowText(const TLogRow &row);
// A line of the log file: cells joined by ",", a cell holding "," quoted
// with inner quotes doubled; CR LF ends it.
QString LogCsvLine(const QStringList &cells);

} // namespace zembrik::cli
