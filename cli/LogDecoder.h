// What midizembrik-cli's "log" command needs of the MIDI log: one 64-byte
// log report in, the finished rows of the log table out (Interval, Event,
// Note, Velocity, as the "MIDI Logging" page shows them), and the two ways
// the command prints a row.
//
// ILogDecoder is the seam; TMidiLogDecoder runs the page's own log (TMidiLog)
// and hands out each row once nothing can change it any more: a note row
// waits for its velocity.  Rows handed out are released from the log before
// it could fill, so a session of any length never meets the page's row
// limit.  Owned by the command; UI thread only.
#pragma once

#include "monitor/MidiLog.h"

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

class TMidiLogDecoder : public ILogDecoder {
public:
    // Rows the log holds at most; far more than one report can fill.
    static constexpr int kGridRows = 1024;

    explicit TMidiLogDecoder(bool ignoreNoteOff = true, int gridRows = kGridRows);
    std::vector<TLogRow> ProcessLogReport(const quint8 *data, int size, qint64 nowMs) override;
    std::vector<TLogRow> Finish() override;

    TMidiLog &Log() { return log_; }

private:
    // The rows up to and including lastRow not handed out yet.
    void takeRows(int lastRow, std::vector<TLogRow> &done);

    TMidiLog log_;
    int handedOut_ = 0; // the last grid row handed out
};

// The log page's columns as text, one line per row, aligned.
QString LogHeadingText();
QString LogRowText(const TLogRow &row);
// A line of the log file: cells joined by ",", a cell holding "," quoted
// with inner quotes doubled; CR LF ends it.
QString LogCsvLine(const QStringList &cells);

} // namespace zembrik::cli
