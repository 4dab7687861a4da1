// The MIDI log: the table of MIDI messages that reached the box, built from
// its log reports, and the log file it is saved in and recalled from.
//
// TMidiLog holds the whole grid, heading row included (row 0 reads
// "Interval", "Event", "Note", "Velocity"; events start at row 1), the log
// state (current row, open note row, last sequence number, interval clock)
// and the processing of log reports.  As a Qt table model it shows the event
// rows, with row 0 as the horizontal heading; model row r is grid row r + 1.
// The log page owns one; QtCore only, UI thread only.
#pragma once

#include "monitor/LogReport.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace zembrik {

enum TLogColumn { lcInterval = 0, lcEvent = 1, lcNote = 2, lcVelocity = 3 };

class TMidiLog : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kDefaultRows = 200;
    static constexpr int kLogColumns = 4;
    // Intervals are shown up to this many milliseconds.
    static constexpr qint64 kMaxInterval = 0x7FFFFFFF;

    explicit TMidiLog(QObject *parent = nullptr);
    // A grid of gridRows rows, heading included (at least 3).
    explicit TMidiLog(int gridRows, QObject *parent = nullptr);

    // --- the grid --------------------------------------------------------------
    int GridRowCount() const { return static_cast<int>(rows_.size()); }
    int GridColumnCount() const { return columns_; }
    QString Cell(int row, int column) const;
    QStringList Row(int row) const;
    int CurrentRow() const { return currentRow_; }
    bool NoteRowOpen() const { return noteRowOpen_; }
    int LastSequence() const { return lastSequence_; }

    // --- the log state ------------------------------------------------------------
    bool IgnoreNoteOff = true;

    // Takes one report's 64 data bytes, read by the transport at readAtMs
    // (monotonic milliseconds).  Anything but a new log report is ignored.
    void ProcessLogReport(const quint8 *report, qint64 readAtMs);
    void ProcessLogReport(const TLogReport &report, qint64 readAtMs);
    // Enters one event pair; false when it was skipped or the log is full,
    // which ends the report.
    bool AddLogEvent(qint64 interval, quint8 code, quint8 value);
    // True when row has no room; then BufferFull runs first.
    bool LogBufferFull(int row);
    // Empties every cell, writes the heading, current row 0, clock unset.
    void ClearLog();
    // For a reader that takes the rows out as they are finished: empties the
    // event rows, all but the current one while a note row still waits for
    // its velocity, which then becomes row 1.  The interval clock and the
    // last sequence number stay, so the log goes on as if nothing happened.
    void ReleaseRows();
    // Logging is being switched on: a grid too small for a single event (a
    // recalled file of fewer than three lines) gets its default size back.
    void PrepareForLogging();

    // Runs when the log is full, before the pair is refused: the page
    // switches logging off and tells the user.
    std::function<void()> BufferFull;

    // --- the log file -------------------------------------------------------------
    // One line per grid row, CR LF after each, Windows-1252.
    QByteArray ToCsv() const;
    // Replaces the grid with the file's lines; current row 0.
    void LoadCsv(const QByteArray &bytes);
    static std::vector<QStringList> ParseCsv(const QByteArray &bytes);

    // Views: with deferred updates on, cell changes are collected and
    // ChangesPending is emitted once; FlushChanges then tells the views in
    // one go, so that a burst of reports costs one repaint, not one each.
    void SetDeferredUpdates(bool on) { deferred_ = on; }
    void FlushChanges();

    static QString EventText(quint8 code);
    static QString ToWindows1252(const QByteArray &bytes);
    static QByteArray FromWindows1252(const QString &text);

    // --- QAbstractTableModel ---------------------------------------------------
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // The grid's selected row should become this grid row (scrolled into view).
    void SelectRow(int gridRow);
    void ChangesPending();

private:
    void setCell(int row, int column, const QString &text);
    void clearRow(int row);
    void select(int gridRow);
    bool newRow(qint64 interval, quint8 code, quint8 value, bool showValue, int valueColumn);
    void reset(int rows, int columns);

    std::vector<QStringList> rows_;
    int columns_ = kLogColumns;
    int currentRow_ = 0;
    bool noteRowOpen_ = false;
    int lastSequence_ = -1;
    std::optional<qint64> intervalClock_;
    bool deferred_ = false;
    int dirtyFirst_ = -1; // grid rows changed since the last flush
    int dirtyLast_ = -1;
    int pendingSelect_ = -1;
};

} // namespace zembrik
