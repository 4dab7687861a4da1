// The emulated box's firmware: what it answers to each command, the state
// the commands change, and the layout of its streamed reports.
#include "device/Commands.h"
#include "emulator/ZembrikFirmware.h"

#include <QTest>

using namespace zembrik;

namespace {
InputReport send(ZembrikFirmware &f, const TCommand &c, quint8 seq = 9)
{
    const auto r = BuildCommandReport(c, seq);
    const auto out = f.handleCommand(r.data(), r.size());
    return out.empty() ? InputReport{} : out.front();
}
} // namespace

Q_DECLARE_METATYPE(zembrik::TCommand)

class FirmwareTest : public QObject {
    Q_OBJECT
private slots:
    void answers_data()
    {
        QTest::addColumn<TCommand>("command");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::newRow("version") << cmd::GetVersion() << 3 << 8;
        QTest::newRow("hello") << cmd::Hello() << 0xAA << 0x55;
        QTest::newRow("map size") << cmd::GetMapSize() << 8 << 10;
        QTest::newRow("map count") << cmd::GetMapCount() << 2 << 0;
        QTest::newRow("active map") << cmd::GetActiveMap() << 0 << 0;
        QTest::newRow("options, MIDI OUT") << cmd::GetOptions() << 0x10 << 0;
        QTest::newRow("switch note none") << cmd::GetSwitchNote() << 255 << 0;
        QTest::newRow("duration") << cmd::GetNoteDuration() << 5 << 0;
        QTest::newRow("hi-hat disabled") << cmd::GetHiHatThreshold() << 255 << 0;
        QTest::newRow("empty slot") << cmd::GetMapEntry(7, 9) << 255 << 0;
    }
    void answers()
    {
        QFETCH(TCommand, command);
        QFETCH(int, first);
        QFETCH(int, second);
        ZembrikFirmware f;
        const InputReport r = send(f, command, 0x42);
        QCOMPARE(int(r[3]), first);
        QCOMPARE(int(r[4]), second);
        QCOMPARE(r[5], quint8(0x42));
    }

    void stateBehindTheCommands()
    {
        ZembrikFirmware f;
        send(f, cmd::SelectMap(1));
        send(f, cmd::SetMapEntry(2, 3, 38));
        QCOMPARE(f.mapEntry(1, 2, 3), 38);
        QCOMPARE(f.mapEntry(0, 2, 3), 255);
        QCOMPARE(send(f, cmd::GetMapEntry(2, 3))[3], quint8(38));
        send(f, cmd::SelectMap(5)); // no such map: unchanged
        QCOMPARE(f.activeMap(), 1);
        send(f, cmd::SetNoteDuration(125));
        send(f, cmd::SetVelocityThreshold(20));
        send(f, cmd::SetHiHatThreshold(64));
        send(f, cmd::SetSwitchNote(60));
        send(f, cmd::SetGameMode(1));
        QCOMPARE(f.noteDuration(), 12);
        QCOMPARE(f.velocityThreshold(), 20);
        QCOMPARE(f.hiHatThreshold(), 64);
        QCOMPARE(f.switchNote(), 60);
        QCOMPARE(f.gameMode(), 1);
        const auto end = BuildCommandReport(cmd::EndSession(), 1);
        QVERIFY(f.handleCommand(end.data(), end.size()).empty());
        QVERIFY(f.sessionEnded());
        QCOMPARE(f.commands().size(), size_t(10));
    }

    void ignoresWhatIsNoCommand()
    {
        ZembrikFirmware f;
        auto r = BuildCommandReport(cmd::GetVersion(), 1);
        r[1] = 0x00; // no marker
        QVERIFY(f.handleCommand(r.data(), r.size()).empty());
        QVERIFY(f.handleCommand(r.data(), 3).empty());
        auto unknown = BuildCommandReport({0x05}, 2);
        QVERIFY(f.handleCommand(unknown.data(), unknown.size()).empty());
    }

    void streamedReports()
    {
        BoxConfig c = MakeBoxConfig(BoxConfig::Model::KQ, 1, 8, false);
        c.outputs = 6;
        c.notesPerOutput = 8;
        ZembrikFirmware f(c);
        QCOMPARE(send(f, cmd::GetMapSize())[3], quint8(6));
        QCOMPARE(send(f, cmd::GetOptions())[3], quint8(0));
        f.setPadBits(0x05, 0x04);
        f.setDirection(2);
        f.setKnob(200);
        f.setModeSwitch(1);
        f.setFunctionSwitch(1);
        const InputReport r = f.controllerReport();
        QCOMPARE(r[0], quint8(0x05));
        QCOMPARE(r[1], quint8(0x04));
        QCOMPARE(r[2], quint8(2));
        QCOMPARE(r[15], quint8(200));
        QCOMPARE(r[16], quint8(1));
        QCOMPARE(r[17], quint8(1));

        QVERIFY(f.feedMidi({{1, 38}}).empty()); // logging off
        send(f, cmd::SetMidiLog(true));
        std::vector<std::pair<quint8, quint8>> pairs;
        for (int i = 0; i < 31; ++i)
            pairs.push_back({1, quint8(i)});
        const auto logs = f.feedMidi(pairs);
        QCOMPARE(logs.size(), size_t(2));
        QCOMPARE(logs[0][0], quint8(0xBA)); // marker
        QCOMPARE(logs[0][2], quint8(60));   // 30 pairs
        QCOMPARE(logs[0][62], quint8(29));  // value of pair 29
        QCOMPARE(logs[1][1], quint8(logs[0][1] + 1));
        QCOMPARE(logs[1][2], quint8(2));
    }
};

QTEST_GUILESS_MAIN(FirmwareTest)
#include "test_firmware.moc"
