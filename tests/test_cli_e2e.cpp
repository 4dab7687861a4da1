// midizembrik-cli end to end: the virtual box is a /dev/hidraw node in a
// umockdev testbed, and the command line runs on the real hidapi and libudev
// code, in-process through RunCli and, for a smoke test, as the installed
// program in a child process that inherits the testbed.  Must run under
// umockdev-wrapper.
#include "cli/Cli.h"
#include "emulator/UMockHidBus.h"
#include "maps/MapFile.h"
#include "tests/LinkHarness.h"
#include "tests/TestFiles.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>

#include <csignal>
#include <memory>

using namespace zembrik;
using namespace zembrik::test;

Q_DECLARE_METATYPE(zembrik::BoxConfig)

namespace {

struct CliResult {
    int rc = -1;
    QString out, err;
};

CliResult runCli(const QStringList &args, cli::TCliOptions options = {})
{
    CliResult r;
    QTextStream out(&r.out), err(&r.err);
    r.rc = cli::RunCli(args, out, err, options);
    out.flush();
    err.flush();
    return r;
}

// Map m, output o, slot s of the test pattern: some slots empty, gaps too.
int patternNote(int m, int o, int s)
{
    if ((o + s) % 3 == 0)
        return NoNote;
    return (m * 40 + o * 5 + s) % 128;
}

QString commandsText(const VirtualBox &box)
{
    return WireText(box);
}

} // namespace

class CliE2E : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<UMockHidBus> bus_;
    std::unique_ptr<VirtualBox> box_;
    int plug_ = 0;
    QTemporaryDir dir_;

    VirtualBox &plugBox(const BoxConfig &config = {})
    {
        unplugBox();
        box_ = std::make_unique<VirtualBox>(config);
        plug_ = bus_->plugBox(box_.get());
        return *box_;
    }
    void unplugBox()
    {
        if (plug_)
            bus_->unplug(plug_);
        plug_ = 0;
    }
    int boxEntry(int m, int o, int s)
    {
        return box_->withFirmware([&](ZembrikFirmware &f) { return f.mapEntry(m, o, s); });
    }

private slots:
    void initTestCase()
    {
        if (!UMockHidBus::InMockEnvironment())
            QFAIL("run this test under umockdev-wrapper");
        bus_ = std::make_unique<UMockHidBus>(); // before anything touches udev
    }
    void cleanup()
    {
        unplugBox();
        box_.reset();
    }
    void cleanupTestCase() { bus_.reset(); }

    void info_data()
    {
        QTest::addColumn<BoxConfig>("config");
        QTest::addColumn<QString>("expected"); // the JSON object, compact
        BoxConfig base = MakeBoxConfig(BoxConfig::Model::Base, 3, 8);
        base.activeMap = 1;
        base.switchNote = 38;
        base.noteDuration = 4;
        base.hiHatThreshold = 64;
        QTest::newRow("base 3.8: all but velocity")
            << base
            << R"({"activeMap":2,"console":"Playstation","firmware":"3.8","gameMode":"ROCK BAND 2",)"
               R"("hiHatThreshold":64,"mapCount":2,"midiOut":true,"model":"MIDI Zembrik","noteDurationMs":40,)"
               R"("notesPerOutput":10,"outputs":8,"switchNote":38})";
        BoxConfig kq = MakeBoxConfig(BoxConfig::Model::KQ, 1, 7, false);
        kq.velocityThreshold = 16;
        QTest::newRow("KQ 1.7: velocity, switch note none, no hi-hat")
            << kq
            << R"({"activeMap":1,"console":"Playstation","firmware":"1.7","gameMode":"ROCK BAND 2",)"
               R"("mapCount":2,"midiOut":false,"model":"MIDI Zembrik KQ","noteDurationMs":50,)"
               R"("notesPerOutput":10,"outputs":8,"switchNote":null,"velocityThreshold":16})";
        BoxConfig old = MakeBoxConfig(BoxConfig::Model::Base, 2, 2);
        old.outputs = 6;
        old.notesPerOutput = 8;
        old.hiHatThreshold = 255;
        QTest::newRow("base 2.2: one map of 6 x 8")
            << old
            << R"({"activeMap":1,"console":"Playstation","firmware":"2.2","gameMode":"ROCK BAND 2",)"
               R"("mapCount":1,"midiOut":true,"model":"MIDI Zembrik","noteDurationMs":50,)"
               R"("notesPerOutput":8,"outputs":6})";
    }
    void info()
    {
        QFETCH(BoxConfig, config);
        QFETCH(QString, expected);
        plugBox(config);
        const CliResult r = runCli({QStringLiteral("info"), QStringLiteral("--json")});
        QCOMPARE(r.rc, cli::kExitOk);
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        const QJsonDocument doc = QJsonDocument::fromJson(r.out.toUtf8());
        QVERIFY2(doc.isObject(), qPrintable(r.out));
        QCOMPARE(QString::fromUtf8(doc.toJson(QJsonDocument::Compact)), expected);
        // Reading sends nothing back, and the session is ended.
        const QString wire = commandsText(*box_);
        QVERIFY2(!wire.contains(QStringLiteral("08")) && !wire.contains(QStringLiteral("0f")) &&
                     !wire.contains(QStringLiteral("16")),
                 qPrintable(wire));
        QVERIFY(box_->withFirmware([](ZembrikFirmware &f) { return f.sessionEnded(); }));
    }

    void infoText()
    {
        BoxConfig c = MakeBoxConfig(BoxConfig::Model::Base, 3, 8);
        c.hiHatThreshold = 255;
        plugBox(c);
        const CliResult r = runCli({QStringLiteral("info")});
        QCOMPARE(r.rc, cli::kExitOk);
        QVERIFY2(r.out.contains(QStringLiteral("Model:               MIDI Zembrik\n")), qPrintable(r.out));
        QVERIFY(r.out.contains(QStringLiteral("Console:             Playstation\n")));
        QVERIFY(r.out.contains(QStringLiteral("Map layout:          8 outputs x 10 notes\n")));
        QVERIFY(r.out.contains(QStringLiteral("Hi-hat threshold:    off\n")));
        QVERIFY(r.out.contains(QStringLiteral("Velocity threshold:  not on this model\n")));
    }

    // get-map writes what the box holds; store-map puts a file back,
    // compacted, and leaves the box's active map as it was.
    void mapRoundTrip()
    {
        BoxConfig c;
        c.activeMap = 1;
        VirtualBox &box = plugBox(c);
        box.withFirmware([](ZembrikFirmware &f) {
            for (int m = 0; m < 2; ++m)
                for (int o = 0; o < 8; ++o)
                    for (int s = 0; s < 10; ++s)
                        f.setMapEntry(m, o, s, patternNote(m, o, s));
        });
        const QString file = dir_.filePath(QStringLiteral("kit")); // ".map" is added
        CliResult r = runCli({QStringLiteral("get-map"), file});
        QCOMPARE(r.rc, cli::kExitOk);
        QVERIFY2(r.out.contains(QStringLiteral("kit.map")), qPrintable(r.out));
        QVERIFY(r.err.contains(QStringLiteral("Transferring map 2 from MIDI Zembrik...")));
        TNoteMaps saved;
        QVERIFY(LoadMapFile(file + QStringLiteral(".map"), saved, {}).ok);
        for (int m = 0; m < 2; ++m)
            for (int o = 0; o < 8; ++o)
                for (int s = 0; s < 10; ++s)
                    QCOMPARE(saved.At(m, o, s), patternNote(m, o, s));
        QCOMPARE(box.withFirmware([](ZembrikFirmware &f) { return f.activeMap(); }), 1);

        // Store onto an empty box.
        box.withFirmware([](ZembrikFirmware &f) { f.setConfig(f.config()); });
        box.clearCommands();
        r = runCli({QStringLiteral("store-map"), file + QStringLiteral(".map")});
        QCOMPARE(r.rc, cli::kExitOk);
        QVERIFY(r.err.contains(QStringLiteral("Transfering map 1 to MIDI Zembrik...")));
        for (int m = 0; m < 2; ++m)
            for (int o = 0; o < 8; ++o) {
                std::array<int, MaxNotesPerOutput> row;
                for (int s = 0; s < 10; ++s)
                    row[s] = patternNote(m, o, s);
                CompactRow(row);
                for (int s = 0; s < 10; ++s)
                    QCOMPARE(boxEntry(m, o, s), row[s]);
            }
        QCOMPARE(box.withFirmware([](ZembrikFirmware &f) { return f.activeMap(); }), 1);
        QVERIFY(commandsText(box).endsWith(QStringLiteral("12(1) 00")));
    }

    // An older single-map file is Map 1; the box's Map 2 stays.
    void storeLegacyFile()
    {
        VirtualBox &box = plugBox();
        box.withFirmware([](ZembrikFirmware &f) { f.setMapEntry(1, 0, 0, 99); });
        const QString file = dir_.filePath(QStringLiteral("legacy.map"));
        writeAll(file, "<Configuration><formMain><editNote10_Text>38</editNote10_Text>"
                       "<editNote82_Text>36</editNote82_Text></formMain></Configuration>");
        const QByteArray before = readAll(file);
        const CliResult r = runCli({QStringLiteral("store-map"), file});
        QCOMPARE(r.rc, cli::kExitOk);
        QCOMPARE(readAll(file), before); // the user's file is only read
        QCOMPARE(boxEntry(0, 0, 0), 38);
        QCOMPARE(boxEntry(0, 7, 0), 36); // compacted from slot 2
        QCOMPARE(boxEntry(0, 7, 2), NoNote);
        QCOMPARE(boxEntry(1, 0, 0), 99);
    }

    // Notes the box has no room for are named.
    void storeOutsideLayout()
    {
        BoxConfig c = MakeBoxConfig(BoxConfig::Model::Base, 2, 9); // one map
        c.outputs = 6;
        c.notesPerOutput = 8;
        plugBox(c);
        const QString file = dir_.filePath(QStringLiteral("big.map"));
        writeAll(file, "<Configuration><Map0><Output0.Note0>36</Output0.Note0><Output5.Note7>37</Output5.Note7>"
                       "<Output7.Note0>38</Output7.Note0><Output0.Note9>39</Output0.Note9></Map0>"
                       "<Map1><Output0.Note0>40</Output0.Note0></Map1></Configuration>");
        const CliResult r = runCli({QStringLiteral("store-map"), file});
        QCOMPARE(r.rc, cli::kExitOk);
        QVERIFY2(r.err.contains(QStringLiteral("warning: 3 notes of %1 lie outside this box's layout (1 map of 6 "
                                               "outputs x 8 notes)")
                                    .arg(file)),
                 qPrintable(r.err));
        QCOMPARE(boxEntry(0, 0, 0), 36);
        QCOMPARE(boxEntry(0, 5, 0), 37); // compacted
    }

    // A file that cannot be used leaves the box and the file alone.
    void storeBadFile_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: no file
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QByteArray() << QStringLiteral("no such file");
        QTest::newRow("not XML") << QByteArray("Output0.Note0 = 38\n") << QStringLiteral("bad.map:");
        QTest::newRow("another root") << QByteArray("<?xml version=\"1.0\"?>\r\n<Settings/>\r\n")
                                      << QStringLiteral("not a MIDI Zembrik map file");
    }
    void storeBadFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        VirtualBox &box = plugBox();
        box.withFirmware([](ZembrikFirmware &f) { f.setMapEntry(0, 0, 0, 42); });
        const QString file = dir_.filePath(QStringLiteral("bad.map"));
        QFile::remove(file);
        if (!content.isEmpty())
            writeAll(file, content);
        const CliResult r = runCli({QStringLiteral("store-map"), file});
        QCOMPARE(r.rc, cli::kExitFailure);
        QVERIFY2(r.err.contains(message) && r.err.contains(file), qPrintable(r.err));
        QVERIFY(box.commands().empty());
        QCOMPARE(boxEntry(0, 0, 0), 42);
        QCOMPARE(readAll(file), content);
    }

    void set_data()
    {
        QTest::addColumn<BoxConfig>("config");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("rc");
        QTest::addColumn<QString>("wire"); // the command sent, "" for none
        QTest::addColumn<QString>("message");
        const BoxConfig base = MakeBoxConfig(BoxConfig::Model::Base, 3, 8);
        const BoxConfig kq = MakeBoxConfig(BoxConfig::Model::KQ, 1, 8);
        const BoxConfig old = MakeBoxConfig(BoxConfig::Model::Base, 3, 5);
        const BoxConfig single = MakeBoxConfig(BoxConfig::Model::Base, 2, 9);
        BoxConfig xbox = MakeBoxConfig(BoxConfig::Model::Base, 3, 8, false);
        xbox.product = QStringLiteral("MIDI Zembrik KQi");
        auto args = [](const char *name, const char *value) {
            return QStringList{QStringLiteral("set"), QString::fromLatin1(name), QString::fromLatin1(value)};
        };
        QTest::newRow("duration 57 goes as 5") << base << args("duration", "57") << 0 << "08 05"
                                               << "Note duration set to 50 ms";
        QTest::newRow("duration 120") << base << args("duration", "120") << 0 << "08 0c"
                                      << "120 ms";
        QTest::newRow("velocity on KQ") << kq << args("velocity", "16.9") << 0 << "0f 10"
                                        << "set to 16";
        QTest::newRow("velocity on base") << base << args("velocity", "16") << 1 << ""
                                          << "no velocity threshold";
        QTest::newRow("hihat halves to even") << base << args("hihat", "64.5") << 0 << "16 40"
                                              << "set to 64";
        QTest::newRow("hihat off") << kq << args("hihat", "off") << 0 << "16 ff"
                                   << "off";
        QTest::newRow("hihat on 3.5") << old << args("hihat", "10") << 1 << ""
                                      << "needs firmware 3.8";
        QTest::newRow("switch note") << base << args("switch-note", "38") << 0 << "14 26"
                                     << "set to 38";
        QTest::newRow("switch note none") << base << args("switch-note", "none") << 0 << "14 ff"
                                          << "cleared";
        QTest::newRow("switch note on 2.9") << single << args("switch-note", "38") << 1 << ""
                                            << "needs firmware 3.6";
        QTest::newRow("game mode") << base << args("game-mode", "guitar-hero") << 0 << "18 01"
                                   << "GUITAR HERO";
        QTest::newRow("game mode, Xbox without MIDI OUT") << xbox << args("game-mode", "guitar-hero") << 1 << ""
                                                          << "Rock Band only";
        QTest::newRow("active map 2") << base << args("active-map", "2") << 0 << "12 01"
                                      << "Map 2";
        QTest::newRow("active map on one-map box") << single << args("active-map", "2") << 1 << ""
                                                   << "has one map";
        QTest::newRow("duration out of range") << base << args("duration", "5") << 2 << ""
                                               << "10 to 120";
        QTest::newRow("velocity not a number") << kq << args("velocity", "loud") << 2 << ""
                                               << "0 to 127";
        QTest::newRow("unknown setting") << base << args("volume", "3") << 2 << ""
                                         << "unknown setting";
    }
    void set()
    {
        QFETCH(BoxConfig, config);
        QFETCH(QStringList, args);
        QFETCH(int, rc);
        QFETCH(QString, wire);
        QFETCH(QString, message);
        VirtualBox &box = plugBox(config);
        const CliResult r = runCli(args);
        QCOMPARE(r.rc, rc);
        QVERIFY2((rc == 0 ? r.out : r.err).contains(message), qPrintable(r.out + r.err));
        // The setting's command is the last one before the session ends;
        // a refused setting sends no set command at all.
        QStringList sets;
        for (const ReceivedCommand &c : box.commands())
            if (c.code == CMD_SET_NOTE_DURATION || c.code == CMD_SET_VELOCITY_THRESHOLD ||
                c.code == CMD_SET_HIHAT_THRESHOLD || c.code == CMD_SET_SWITCH_NOTE ||
                (c.code == CMD_SET_GAME_MODE && c.arg1 == 1) || (c.code == CMD_SELECT_MAP))
                sets << QStringLiteral("%1 %2")
                            .arg(c.code, 2, 16, QLatin1Char('0'))
                            .arg(c.arg1, 2, 16, QLatin1Char('0'));
        QCOMPARE(sets.join(QLatin1Char(';')), wire);
    }

    void log()
    {
        VirtualBox &box = plugBox();
        // Events go in once the box logs.
        QTimer feeder;
        bool fed = false;
        connect(&feeder, &QTimer::timeout, [&] {
            if (fed || !box.withFirmware([](ZembrikFirmware &f) { return f.logging(); }))
                return;
            fed = true;
            box.feedMidi({{1, 38}, {2, 97}, {9, 4}, {1, 40}, {2, 0}, {3, 38}, {4, 0}});
            box.feedMidi({{1, 46}, {10, 90}, {2, 80}, {12, 1}});
        });
        feeder.start(5);
        const CliResult r =
            runCli({QStringLiteral("log"), QStringLiteral("--csv"), QStringLiteral("--count"), QStringLiteral("4")});
        QCOMPARE(r.rc, cli::kExitOk);
        const QStringList lines = r.out.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 6); // heading, four events, the empty rest
        QCOMPARE(lines[0], QStringLiteral("Interval,Event,Note,Velocity"));
        QCOMPARE(lines[1], QStringLiteral("0,Note ON,38,97"));
        QCOMPARE(lines[2], QStringLiteral("0,CC,4,"));
        // Note ON 40 with velocity 0 and the Note OFF are not logged.
        QVERIFY(lines[3].endsWith(QStringLiteral(",Note ON,46,")));
        QCOMPARE(lines[4], QStringLiteral("0,Pedal Pos,90,80"));
        QVERIFY(!box.withFirmware([](ZembrikFirmware &f) { return f.logging(); }));
        QVERIFY2(commandsText(box).endsWith(QStringLiteral("0b 0b 00")), qPrintable(commandsText(box)));
    }

    void noBox()
    {
        unplugBox();
        const CliResult r = runCli({QStringLiteral("info")});
        QCOMPARE(r.rc, cli::kExitFailure);
        QCOMPARE(r.err, QStringLiteral("midizembrik-cli: No MIDI Zembrik found\n"));
        QVERIFY(r.out.isEmpty());
    }

    void unansweredCommand()
    {
        VirtualBox &box = plugBox();
        box.dropRepliesTo(CMD_GET_MAP_ENTRY);
        const QString file = dir_.filePath(QStringLiteral("never.map"));
        CliResult r = runCli({QStringLiteral("get-map"), file});
        QCOMPARE(r.rc, cli::kExitFailure);
        QVERIFY2(r.err.contains(QStringLiteral("no reply from the MIDI Zembrik")) &&
                     r.err.contains(QStringLiteral("Error transferring map entry from MIDI Zembrik")),
                 qPrintable(r.err));
        QVERIFY(!QFile::exists(file));

        VirtualBox &mute = plugBox();
        mute.dropRepliesTo(CMD_HELLO);
        r = runCli({QStringLiteral("info")});
        QCOMPARE(r.rc, cli::kExitFailure);
        QVERIFY2(r.err.contains(QStringLiteral("does not answer")) && r.err.contains(QStringLiteral("/dev/hidraw")),
                 qPrintable(r.err));
    }

    // The program itself, in a child process that sees the same testbed.
    void spawnedInfo()
    {
        plugBox();
        QProcess p;
        p.start(QStringLiteral(ZEMBRIK_CLI_PATH), {QStringLiteral("info"), QStringLiteral("--json")});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 0);
        const QJsonObject o = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
        QCOMPARE(o.value(QStringLiteral("model")).toString(), QStringLiteral("MIDI Zembrik"));
        QCOMPARE(o.value(QStringLiteral("firmware")).toString(), QStringLiteral("3.8"));
    }

    // SIGTERM, and a reader that goes away, both switch logging off.
    void spawnedLogStops_data()
    {
        QTest::addColumn<bool>("pipeToHead");
        QTest::newRow("SIGTERM") << false;
        QTest::newRow("reader gone") << true;
    }
    void spawnedLogStops()
    {
        QFETCH(bool, pipeToHead);
        VirtualBox &box = plugBox();
        QProcess p;
        if (pipeToHead) // head ends after the heading and one event
            p.start(QStringLiteral("bash"),
                    {QStringLiteral("-c"), QStringLiteral("set -o pipefail; '%1' log | head -n 2 >/dev/null")
                                               .arg(QStringLiteral(ZEMBRIK_CLI_PATH))});
        else
            p.start(QStringLiteral(ZEMBRIK_CLI_PATH), {QStringLiteral("log")});
        auto logging = [&] { return box.withFirmware([](ZembrikFirmware &f) { return f.logging(); }); };
        QVERIFY(LinkHarness::waitFor(logging, 5000));
        box.feedMidi({{1, 38}, {2, 97}});
        if (!pipeToHead) {
            QVERIFY(LinkHarness::waitFor([&] { return p.canReadLine() && p.readAll().contains("Note ON"); }, 5000));
            p.terminate();
        }
        QVERIFY(LinkHarness::waitFor([&] { return p.state() == QProcess::NotRunning; }, 5000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(!logging());
        // Switched off by command, before the session ends.
        QVERIFY2(commandsText(box).endsWith(QStringLiteral("0b 0b 00")), qPrintable(commandsText(box)));
    }
};

QTEST_GUILESS_MAIN(CliE2E)
#include "test_cli_e2e.moc"
