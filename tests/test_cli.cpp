// midizembrik-cli without umockdev: the log decoder over the page's log, the settings
// byte rules it shares with the window, the command line's usage errors and
// help, and a box that cannot be opened, on the in-process emulated bus.
#include "cli/Cli.h"
#include "cli/LogDecoder.h"
#include "emulator/EmulatedHidPlatform.h"
#include "settings/DeviceSettings.h"

#include <QTest>
#include <QTextStream>

#include <vector>

using Pairs = std::vector<std::pair<quint8, quint8>>;
Q_DECLARE_METATYPE(QList<Pairs>)

using namespace zembrik;
using namespace zembrik::cli;

namespace {

// A log report: marker, sequence, length, pairs.
std::vector<quint8> logReport(quint8 sequence, const Pairs &pairs)
{
    std::vector<quint8> r(64, 0);
    r[0] = 0xBA;
    r[1] = sequence;
    r[2] = static_cast<quint8>(pairs.size() * 2);
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        r[3 + 2 * k] = pairs[k].first;
        r[4 + 2 * k] = pairs[k].second;
    }
    return r;
}

QStringList rowsText(const std::vector<TLogRow> &rows)
{
    QStringList out;
    for (const TLogRow &r : rows)
        out << r.Cells().join(QLatin1Char('|'));
    return out;
}

struct CliResult {
    int rc;
    QString out, err;
};

CliResult runCli(const QStringList &args, IHidPlatform *platform = nullptr)
{
    CliResult r{-1, {}, {}};
    QTextStream out(&r.out), err(&r.err);
    TCliOptions options;
    options.platform = platform;
    options.connectTimeoutMs = 2000;
    r.rc = RunCli(args, out, err, options);
    out.flush();
    err.flush();
    return r;
}

} // namespace

class CliTest : public QObject {
    Q_OBJECT
private slots:
    // Reports at 100 ms intervals; rows as "Interval|Event|Note|Velocity".
    void logDecoder_data()
    {
        QTest::addColumn<QList<Pairs>>("reports");
        QTest::addColumn<bool>("ignoreNoteOff");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("note with velocity")
            << QList<Pairs>{{{1, 38}, {2, 97}}} << true << QStringList{"0|Note ON|38|97"};
        QTest::newRow("velocity 0, ignored") << QList<Pairs>{{{1, 38}, {2, 0}}} << true << QStringList{};
        QTest::newRow("velocity 0, shown as Note OFF")
            << QList<Pairs>{{{1, 38}, {2, 0}}} << false << QStringList{"0|Note OFF|38|0"};
        QTest::newRow("note off drops the rest of the report")
            << QList<Pairs>{{{3, 38}, {4, 64}, {1, 40}, {2, 90}}} << true << QStringList{};
        QTest::newRow("note off shown") << QList<Pairs>{{{3, 38}, {4, 64}}} << false << QStringList{"0|Note OFF|38|64"};
        QTest::newRow("velocity without a note row") << QList<Pairs>{{{2, 50}}} << true << QStringList{"0|ON Vel||50"};
        QTest::newRow("CC between note and velocity takes the velocity")
            << QList<Pairs>{{{1, 38}, {9, 4}, {2, 97}}} << true << QStringList{"0|Note ON|38|", "0|CC|4|97"};
        QTest::newRow("codes without values, CC2")
            << QList<Pairs>{{{0, 1}, {5, 2}, {6, 3}, {7, 4}, {8, 5}, {11, 6}, {200, 7}}} << true
            << QStringList{"0|Status||", "0|Data1||", "0|Data1of2||", "0|Data2||", "0|SysEx||", "0|CC2||", "0|CC2||"};
        QTest::newRow("a note waits for its velocity in the next report")
            << QList<Pairs>{{{1, 38}}, {{2, 97}, {10, 20}}} << true
            << QStringList{"0|Note ON|38|97", "0|Pedal Pos|20|"};
        QTest::newRow("intervals between reports") << QList<Pairs>{{{9, 1}}, {{9, 2}, {9, 3}}, {{9, 4}}} << true
                                                   << QStringList{"0|CC|1|", "100|CC|2|", "0|CC|3|", "100|CC|4|"};
    }
    void logDecoder()
    {
        QFETCH(QList<Pairs>, reports);
        QFETCH(bool, ignoreNoteOff);
        QFETCH(QStringList, rows);
        TMidiLogDecoder decoder(ignoreNoteOff);
        std::vector<TLogRow> all;
        quint8 sequence = 7;
        qint64 now = 5000;
        for (const Pairs &p : reports) {
            const std::vector<quint8> r = logReport(sequence++, p);
            for (const TLogRow &row : decoder.ProcessLogReport(r.data(), int(r.size()), now))
                all.push_back(row);
            now += 100;
        }
        for (const TLogRow &row : decoder.Finish())
            all.push_back(row);
        QCOMPARE(rowsText(all), rows);
    }

    void logDecoderDropsWhatIsNoLogReport()
    {
        TMidiLogDecoder decoder;
        std::vector<quint8> r = logReport(3, {{9, 1}});
        QCOMPARE(decoder.ProcessLogReport(r.data(), 64, 0).size(), std::size_t(1));
        // The same sequence number again: a repeat.
        QCOMPARE(decoder.ProcessLogReport(r.data(), 64, 10).size(), std::size_t(0));
        // No marker: a controller report or a reply.
        r = logReport(4, {{9, 1}});
        r[0] = 0x01;
        QCOMPARE(decoder.ProcessLogReport(r.data(), 64, 20).size(), std::size_t(0));
        // A length byte past the report: only the pairs it holds.
        r = logReport(5, {{9, 1}});
        r[2] = 250;
        QCOMPARE(decoder.ProcessLogReport(r.data(), 64, 30).size(), std::size_t(30));
        QCOMPARE(decoder.ProcessLogReport(r.data(), 2, 40).size(), std::size_t(0));
    }

    // Rows handed out are released before the log could fill: a session far
    // longer than the grid loses nothing and never meets the "full" path,
    // and a note row open at the release still takes its velocity.
    void logDecoderOutlastsItsGrid()
    {
        TMidiLogDecoder decoder(true, 40);
        int full = 0;
        decoder.Log().BufferFull = [&] { ++full; };
        QStringList all;
        quint8 sequence = 0;
        qint64 now = 0;
        auto feed = [&](const Pairs &p) {
            const std::vector<quint8> r = logReport(sequence++, p);
            all << rowsText(decoder.ProcessLogReport(r.data(), 64, now));
            now += 10;
        };
        Pairs many;
        for (int k = 0; k < 30; ++k)
            many.push_back({9, quint8(k)});
        for (int i = 0; i < 20; ++i)
            feed(many);
        QCOMPARE(all.size(), 600);
        QCOMPARE(all.at(30), QStringLiteral("10|CC|0|"));
        QCOMPARE(all.at(599), QStringLiteral("0|CC|29|"));
        // A note whose velocity comes reports later, past several releases.
        all.clear();
        feed({{1, 38}});
        for (int i = 0; i < 5; ++i)
            feed(many);
        feed({{2, 97}});
        all << rowsText(decoder.Finish());
        QCOMPARE(all.size(), 151);
        QCOMPARE(all.first(), QStringLiteral("10|Note ON|38|"));
        QCOMPARE(all.last(), QStringLiteral("0|CC|29|97"));
        QCOMPARE(full, 0);
    }

    void logCsvLine()
    {
        QCOMPARE(LogCsvLine({"0", "Note ON", "38", "97"}), QStringLiteral("0,Note ON,38,97\r\n"));
        QCOMPARE(LogCsvLine({"a,b", "say \"hi\", ok", "", ""}), QStringLiteral("\"a,b\",\"say \"\"hi\"\", ok\",,\r\n"));
    }

    // The rules the "Settings" page and the command line share.
    void settingsBytes_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("byte");
        QTest::newRow("duration 57 ms") << "duration" << 57.0 << 5;
        QTest::newRow("duration 125 ms held to 120") << "duration" << 125.0 << 12;
        QTest::newRow("duration 0 held to 10") << "duration" << 0.0 << 1;
        QTest::newRow("velocity cut off") << "velocity" << 16.9 << 16;
        QTest::newRow("velocity held to 127") << "velocity" << 300.0 << 127;
        QTest::newRow("velocity held to 0") << "velocity" << -4.0 << 0;
        QTest::newRow("hi-hat half to even, down") << "hihat" << 64.5 << 64;
        QTest::newRow("hi-hat half to even, up") << "hihat" << 65.5 << 66;
        QTest::newRow("hi-hat held to 127") << "hihat" << 200.0 << 127;
        QTest::newRow("hi-hat off") << "hihat" << 255.0 << 255;
    }
    void settingsBytes()
    {
        QFETCH(QString, setting);
        QFETCH(double, value);
        QFETCH(int, byte);
        TCommand c;
        if (setting == QStringLiteral("duration"))
            c = settings::NoteDurationCommand(value);
        else if (setting == QStringLiteral("velocity"))
            c = settings::VelocityThresholdCommand(value);
        else
            c = settings::HiHatThresholdCommand(settings::HiHatThresholdByte(value));
        QCOMPARE(int(c.arg1), byte);
        QCOMPARE(int(c.arg2), 0);
        QCOMPARE(int(c.arg3), 0);
    }

    void help_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("first");
        QTest::newRow("general") << QStringList{"--help"} << "Usage: midizembrik-cli COMMAND";
        for (const char *c : {"info", "get-map", "store-map", "set", "log"})
            QTest::newRow(c) << QStringList{QString::fromLatin1(c), "--help"}
                             << QStringLiteral("Usage: midizembrik-cli %1").arg(QString::fromLatin1(c));
    }
    void help()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, first);
        const CliResult r = runCli(args);
        QCOMPARE(r.rc, kExitOk);
        QVERIFY2(r.out.startsWith(first), qPrintable(r.out));
        QVERIFY(r.err.isEmpty());
    }

    // Usage errors come before any look for the box.
    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("no command") << QStringList{} << "no command given";
        QTest::newRow("unknown command") << QStringList{"flash"} << "unknown command 'flash'";
        QTest::newRow("unknown option") << QStringList{"info", "--xml"} << "unknown option --xml";
        QTest::newRow("get-map without file") << QStringList{"get-map"} << "get-map needs one FILE";
        QTest::newRow("store-map with two files") << QStringList{"store-map", "a", "b"} << "needs one FILE";
        QTest::newRow("set without value") << QStringList{"set", "duration"} << "needs a SETTING and a VALUE";
        QTest::newRow("hihat out of range") << QStringList{"set", "hihat", "128"} << "0 to 127, or off";
        QTest::newRow("switch note not a note") << QStringList{"set", "switch-note", "38.5"} << "or none";
        QTest::newRow("game mode") << QStringList{"set", "game-mode", "drums"} << "rock-band or guitar-hero";
        QTest::newRow("active map 3") << QStringList{"set", "active-map", "3"} << "1 or 2";
        QTest::newRow("log count without number") << QStringList{"log", "--count"} << "--count needs a value";
        QTest::newRow("log count 0") << QStringList{"log", "--count", "0"} << "above 0";
    }
    void usageErrors()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        EmulatedHidPlatform bus; // empty: a look for the box would say so
        const CliResult r = runCli(args, &bus);
        QCOMPARE(r.rc, kExitUsage);
        QVERIFY2(r.err.contains(message) && r.err.contains(QStringLiteral("--help")), qPrintable(r.err));
        QCOMPARE(bus.enumerateCalls(), 0);
    }

    void boxCannotBeOpened()
    {
        EmulatedHidPlatform bus;
        const int id = bus.plugInaccessibleBox(0x12BA, 0x0210);
        const CliResult r = runCli({QStringLiteral("info")}, &bus);
        QCOMPARE(r.rc, kExitFailure);
        QVERIFY2(r.err.contains(bus.info(id).path), qPrintable(r.err));
        QVERIFY(r.err.contains(QStringLiteral("sudo cp 70-midizembrik.rules /etc/udev/rules.d/")));
        QVERIFY(r.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "test_cli.moc"
