// The MIDI log without widgets: log reports as the box sends them, the
// capacity of the grid, intervals and repeats, and the log file.
#include "monitor/MidiLog.h"

#include <QSignalSpy>
#include <QTest>

#include <initializer_list>

using namespace zembrik;

namespace {

using Report = QByteArray;

// A 64-byte report from its first bytes; the rest is zero.
Report report(std::initializer_list<int> bytes)
{
    Report r(64, '\0');
    int i = 0;
    for (int b : bytes)
        r[i++] = static_cast<char>(b);
    return r;
}

const quint8 *bytes(const Report &r)
{
    return reinterpret_cast<const quint8 *>(r.constData());
}

// Event rows as "Interval|Event|Note|Velocity", up to the current row.
QStringList events(const TMidiLog &log)
{
    QStringList out;
    for (int r = 1; r <= log.CurrentRow(); ++r)
        out << log.Row(r).join(QLatin1Char('|'));
    return out;
}

QStringList lines(const QByteArray &csv)
{
    QStringList out = QString::fromLatin1(csv).split(QStringLiteral("\r\n"));
    if (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    return out;
}

} // namespace

class MidiLogTest : public QObject {
    Q_OBJECT
private slots:
    void oneReport_data()
    {
        QTest::addColumn<Report>("report");
        QTest::addColumn<bool>("ignoreOff");
        QTest::addColumn<QStringList>("rows");
        // clang-format off
        QTest::newRow("note on and its velocity make one row")
            << report({0xBA, 0x01, 0x04,   // marker, sequence 1, two pairs
                       0x01, 38,           // Note ON 38
                       0x02, 97})          // ON Vel 97
            << true << QStringList{"0|Note ON|38|97"};
        QTest::newRow("velocity 0 removes the row while note-offs are ignored")
            << report({0xBA, 0x01, 0x04, 0x01, 38, 0x02, 0}) << true << QStringList{};
        QTest::newRow("velocity 0 reads Note OFF while note-offs are kept")
            << report({0xBA, 0x01, 0x04, 0x01, 38, 0x02, 0}) << false << QStringList{"0|Note OFF|38|0"};
        QTest::newRow("a leading note-off drops the whole report")
            << report({0xBA, 0x01, 0x06,
                       0x03, 38,           // Note OFF 38: ignored, and the rest with it
                       0x04, 64,           // OFF Vel
                       0x01, 36})          // Note ON 36
            << true << QStringList{};
        QTest::newRow("note-off and its velocity while kept")
            << report({0xBA, 0x01, 0x04, 0x03, 38, 0x04, 64}) << false << QStringList{"0|Note OFF|38|64"};
        QTest::newRow("a velocity without a note row makes its own row")
            << report({0xBA, 0x01, 0x02, 0x02, 80}) << true << QStringList{"0|ON Vel||80"};
        QTest::newRow("an OFF Vel without a note row makes its own row")
            << report({0xBA, 0x01, 0x02, 0x04, 81}) << false << QStringList{"0|OFF Vel||81"};
        QTest::newRow("CC between note and velocity keeps the note row open")
            << report({0xBA, 0x01, 0x06, 0x01, 38, 0x09, 7, 0x02, 97}) << true
            << QStringList{"0|Note ON|38|", "0|CC|7|97"};
        QTest::newRow("Pedal Pos between note and velocity keeps the note row open")
            << report({0xBA, 0x01, 0x06, 0x01, 38, 0x0A, 5, 0x02, 97}) << true
            << QStringList{"0|Note ON|38|", "0|Pedal Pos|5|97"};
        QTest::newRow("Status closes the note row")
            << report({0xBA, 0x01, 0x06, 0x01, 38, 0x00, 0x90, 0x02, 97}) << true
            << QStringList{"0|Note ON|38|", "0|Status||", "0|ON Vel||97"};
        QTest::newRow("codes without a shown value, and 11..255 as CC2")
            << report({0xBA, 0x01, 0x0E, 0x00, 1, 0x05, 2, 0x06, 3, 0x07, 4, 0x08, 5, 0x0B, 6, 0xFF, 7}) << true
            << QStringList{"0|Status||", "0|Data1||", "0|Data1of2||", "0|Data2||", "0|SysEx||", "0|CC2||",
                           "0|CC2||"};
        QTest::newRow("an odd last byte of the event area is ignored")
            << report({0xBA, 0x01, 0x05, 0x01, 38, 0x02, 97, 0x09}) << true << QStringList{"0|Note ON|38|97"};
        QTest::newRow("not a log report")
            << report({0x00, 0x01, 0x04, 0x01, 38, 0x02, 97}) << true << QStringList{};
        QTest::newRow("an empty event area")
            << report({0xBA, 0x01, 0x00, 0x01, 38}) << true << QStringList{};
        // clang-format on
    }
    void oneReport()
    {
        QFETCH(Report, report);
        QFETCH(bool, ignoreOff);
        QFETCH(QStringList, rows);
        TMidiLog log;
        log.IgnoreNoteOff = ignoreOff;
        log.ProcessLogReport(bytes(report), 5000);
        QCOMPARE(events(log), rows);
        QCOMPARE(log.Row(0), QStringList({"Interval", "Event", "Note", "Velocity"}));
        QCOMPARE(log.Row(rows.size() + 1), QStringList(4, QString()));
    }

    void aLengthAbove60IsCutAtThe30PairsTheReportHolds()
    {
        Report r = report({0xBA, 0x01, 0xFF});
        for (int k = 0; k < 30; ++k) {
            r[3 + 2 * k] = 0x09; // CC
            r[4 + 2 * k] = static_cast<char>(k);
        }
        r[63] = 0x01; // a stray byte past the last pair
        TMidiLog log;
        log.ProcessLogReport(bytes(r), 0);
        QCOMPARE(log.CurrentRow(), 30);
        QCOMPARE(log.Cell(30, lcNote), QStringLiteral("29"));
        QCOMPARE(log.Cell(31, lcEvent), QString());
    }

    void repeatsAreDroppedBySequenceNumberAcrossClearing()
    {
        TMidiLog log;
        QCOMPARE(log.LastSequence(), -1);
        const Report a = report({0xBA, 0x05, 0x02, 0x01, 38});
        log.ProcessLogReport(bytes(a), 100);
        log.ProcessLogReport(bytes(a), 200); // the same report again
        QCOMPARE(log.CurrentRow(), 1);
        log.ClearLog();
        log.ProcessLogReport(bytes(a), 300); // still the last sequence seen
        QCOMPARE(log.CurrentRow(), 0);
        log.ProcessLogReport(bytes(report({0xBA, 0x06, 0x02, 0x01, 40})), 400);
        QCOMPARE(events(log), QStringList{"0|Note ON|40|"});
        QCOMPARE(log.LastSequence(), 6);
    }

    void intervalsComeFromTheReadTimes_data()
    {
        QTest::addColumn<QList<qint64>>("readAt");
        QTest::addColumn<QStringList>("intervals");
        QTest::newRow("first 0, then the gaps; later rows of a report 0")
            << QList<qint64>{1000, 1250, 1300} << QStringList{"0", "0", "250", "0", "50", "0"};
        QTest::newRow("a gap beyond 2^31-1 ms shows the largest interval")
            << QList<qint64>{0, 0x80000000LL + 5, 0x80000000LL + 6}
            << QStringList{"0", "0", "2147483647", "0", "1", "0"};
        QTest::newRow("a read time before the previous one shows 0")
            << QList<qint64>{5000, 4000, 4010} << QStringList{"0", "0", "0", "0", "10", "0"};
    }
    void intervalsComeFromTheReadTimes()
    {
        QFETCH(QList<qint64>, readAt);
        QFETCH(QStringList, intervals);
        TMidiLog log;
        int seq = 1;
        for (qint64 t : readAt)
            log.ProcessLogReport(bytes(report({0xBA, seq++, 0x04, 0x00, 1, 0x00, 2})), t);
        QStringList shown;
        for (int r = 1; r <= log.CurrentRow(); ++r)
            shown << log.Cell(r, lcInterval);
        QCOMPARE(shown, intervals);
    }

    void clearingUnsetsTheClock()
    {
        TMidiLog log;
        log.ProcessLogReport(bytes(report({0xBA, 1, 0x02, 0x00, 1})), 1000);
        log.ClearLog();
        log.ProcessLogReport(bytes(report({0xBA, 2, 0x02, 0x00, 1})), 9000);
        QCOMPARE(log.Cell(1, lcInterval), QStringLiteral("0"));
    }

    void theLogHolds198EventsThenStops()
    {
        TMidiLog log;
        int full = 0;
        log.BufferFull = [&] { ++full; };
        for (int i = 0; i < 198; ++i)
            QVERIFY(log.AddLogEvent(0, 0x09, static_cast<quint8>(i % 128)));
        QCOMPARE(log.CurrentRow(), 198);
        QCOMPARE(full, 0);
        // The next report: its first pair finds the log full, the rest is
        // dropped with it.
        log.ProcessLogReport(bytes(report({0xBA, 1, 0x04, 0x09, 1, 0x09, 2})), 0);
        QCOMPARE(full, 1);
        QCOMPARE(log.CurrentRow(), 198);
        QCOMPARE(log.Row(199), QStringList(4, QString()));
        // No note row is open, so a velocity pair needs a new row too.
        QVERIFY(!log.AddLogEvent(0, 0x02, 5));
        QCOMPARE(full, 2);
    }

    void aVelocityFirstAfterClearingNeverWritesTheHeading()
    {
        TMidiLog log;
        log.ProcessLogReport(bytes(report({0xBA, 1, 0x02, 0x01, 38})), 0); // Note ON, row left open
        QVERIFY(log.NoteRowOpen());
        log.ClearLog();
        log.ProcessLogReport(bytes(report({0xBA, 2, 0x02, 0x02, 90})), 0);
        QCOMPARE(log.Row(0), QStringList({"Interval", "Event", "Note", "Velocity"}));
        QCOMPARE(events(log), QStringList{"0|ON Vel||90"});
    }

    void theSelectedRowFollowsTheLog()
    {
        TMidiLog log;
        QSignalSpy select(&log, &TMidiLog::SelectRow);
        log.ProcessLogReport(bytes(report({0xBA, 1, 0x04, 0x01, 38, 0x09, 3})), 0);
        QCOMPARE(select.last().at(0).toInt(), 2);
        log.ClearLog();
        QCOMPARE(select.last().at(0).toInt(), 1);
    }

    void deferredUpdatesReachTheViewsInOneGo()
    {
        TMidiLog log;
        log.SetDeferredUpdates(true);
        QSignalSpy pending(&log, &TMidiLog::ChangesPending);
        QSignalSpy changed(&log, &QAbstractItemModel::dataChanged);
        QSignalSpy select(&log, &TMidiLog::SelectRow);
        log.ProcessLogReport(bytes(report({0xBA, 1, 0x06, 0x01, 38, 0x02, 97, 0x09, 4})), 0);
        log.ProcessLogReport(bytes(report({0xBA, 2, 0x02, 0x0A, 9})), 0);
        QCOMPARE(pending.size(), 1);
        QCOMPARE(changed.size(), 0);
        QCOMPARE(select.size(), 0);
        log.FlushChanges();
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][0].toModelIndex().row(), 0); // grid row 1
        QCOMPARE(changed[0][1].toModelIndex().row(), 2); // grid row 3
        QCOMPARE(select.size(), 1);
        QCOMPARE(select[0][0].toInt(), 3);
        log.FlushChanges();
        QCOMPARE(changed.size(), 1);
        log.ProcessLogReport(bytes(report({0xBA, 3, 0x02, 0x0A, 9})), 0);
        QCOMPARE(pending.size(), 2);
    }

    // --- the log file ---------------------------------------------------------------

    void aDefaultLogWithOneEventIs200Lines()
    {
        TMidiLog log;
        log.ProcessLogReport(bytes(report({0xBA, 1, 0x04, 0x01, 38, 0x02, 97})), 0);
        const QByteArray csv = log.ToCsv();
        QVERIFY(csv.endsWith("\r\n"));
        const QStringList l = lines(csv);
        QCOMPARE(l.size(), 200);
        QCOMPARE(l[0], QStringLiteral("Interval,Event,Note,Velocity"));
        QCOMPARE(l[1], QStringLiteral("0,Note ON,38,97"));
        for (int i = 2; i < 200; ++i)
            QCOMPARE(l[i], QStringLiteral(",,,"));
        QCOMPARE(csv.count('\n'), 200);
        QCOMPARE(csv.count('\r'), 200);
    }

    void readingSplitsLinesAndFields_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("rows"); // fields joined by '|'
        QTest::addColumn<int>("columns");
        QTest::newRow("CR LF") << QByteArray("a,b\r\nc,d\r\n") << QStringList{"a|b", "c|d"} << 2;
        QTest::newRow("CR") << QByteArray("a,b\rc,d\r") << QStringList{"a|b", "c|d"} << 2;
        QTest::newRow("LF") << QByteArray("a,b\nc,d\n") << QStringList{"a|b", "c|d"} << 2;
        QTest::newRow("mixed, last line without an end")
            << QByteArray("a\r\n\rb\nc") << QStringList{"a", "", "b", "c"} << 1;
        QTest::newRow("columns grow to the longest line")
            << QByteArray("a\r\nb,c,d,e,f\r\n") << QStringList{"a||||", "b|c|d|e|f"} << 5;
        QTest::newRow("a quoted comma") << QByteArray("\"38,5\",x\r\n") << QStringList{"38,5|x"} << 2;
        QTest::newRow("doubled quotes") << QByteArray("\"say \"\"hi\"\"\",x\r\n") << QStringList{"say \"hi\"|x"} << 2;
        QTest::newRow("after the closing quote is dropped")
            << QByteArray("\"abc\"junk,d\r\n") << QStringList{"abc|d"} << 2;
        QTest::newRow("quotes inside a field keep their commas")
            << QByteArray("x\"y,z\"w,v\r\n") << QStringList{"x\"y,z\"w|v"} << 2;
        QTest::newRow("an empty file is one empty row") << QByteArray() << QStringList{""} << 1;
    }
    void readingSplitsLinesAndFields()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, rows);
        QFETCH(int, columns);
        TMidiLog log;
        log.LoadCsv(file);
        QCOMPARE(log.GridRowCount(), rows.size());
        QCOMPARE(log.GridColumnCount(), columns);
        QCOMPARE(log.CurrentRow(), 0);
        for (int r = 0; r < rows.size(); ++r)
            QCOMPARE(log.Row(r).join(QLatin1Char('|')), rows[r]);
    }

    void cellsRoundTripThroughTheFile()
    {
        // Every byte but the line ends, in one cell, plus cells the writer
        // must quote.
        QByteArray all;
        for (int b = 1; b < 256; ++b)
            if (b != '\r' && b != '\n')
                all += static_cast<char>(b);
        TMidiLog source;
        QByteArray file = "Interval,Event,Note,Velocity\r\n";
        file += "\"" + QByteArray(all).replace("\"", "\"\"") + "\",\"a,b\",\"q\"\"x\",\xE9\x80\x81\x9F\r\n";
        source.LoadCsv(file);
        QCOMPARE(source.Cell(1, 0), TMidiLog::ToWindows1252(all));
        QCOMPARE(source.Cell(1, 1), QStringLiteral("a,b"));
        QCOMPARE(source.Cell(1, 2), QStringLiteral("q\"x"));
        QCOMPARE(source.Cell(1, 3), QString::fromUtf8("\u00E9\u20AC\u0081\u0178"));
        const QByteArray saved = source.ToCsv();
        QCOMPARE(saved, file);
        TMidiLog copy;
        copy.LoadCsv(saved);
        for (int c = 0; c < 4; ++c)
            QCOMPARE(copy.Cell(1, c), source.Cell(1, c));
    }

    void aRecalledFileSetsTheRoom_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("room");
        QTest::newRow("50 lines leave room for 48") << 50 << 48;
        QTest::newRow("3 lines leave room for 1") << 3 << 1;
        QTest::newRow("2 lines: logging restores the default grid") << 2 << 198;
        QTest::newRow("1 line: logging restores the default grid") << 1 << 198;
    }
    void aRecalledFileSetsTheRoom()
    {
        QFETCH(int, lines);
        QFETCH(int, room);
        QByteArray file;
        for (int i = 0; i < lines; ++i)
            file += "x\r\n"; // one column only
        TMidiLog log;
        log.LoadCsv(file);
        QCOMPARE(log.GridRowCount(), lines);
        log.PrepareForLogging();
        log.ClearLog();
        QCOMPARE(log.GridColumnCount(), 4);
        int full = 0;
        log.BufferFull = [&] { ++full; };
        int entered = 0;
        while (log.AddLogEvent(0, 0x09, 1))
            ++entered;
        QCOMPARE(entered, room);
        QCOMPARE(full, 1);
        QCOMPARE(log.Row(0), QStringList({"Interval", "Event", "Note", "Velocity"}));
    }
};

QTEST_GUILESS_MAIN(MidiLogTest)
#include "test_midi_log.moc"
