// The pure wire rules: which identifiers are the box, how each command packs
// its arguments into the 9-byte report, and what a report descriptor tells.
#include "device/Commands.h"
#include "device/DeviceLink.h"
#include "device/HidReportDescriptor.h"
#include "emulator/ZembrikFirmware.h"

#include <QTest>

using namespace zembrik;

Q_DECLARE_METATYPE(zembrik::TCommand)

class WireTest : public QObject {
    Q_OBJECT
private slots:
    void deviceFilter_data()
    {
        QTest::addColumn<int>("vendor");
        QTest::addColumn<int>("product");
        QTest::addColumn<int>("console"); // -1: no match
        QTest::addColumn<int>("mode");
        QTest::newRow("PS Rock Band") << 0x12BA << 0x0210 << 0 << 0;
        QTest::newRow("PS Guitar Hero") << 0x12BA << 0x0120 << 0 << 1;
        QTest::newRow("PS vendor, Wii RB product") << 0x12BA << 0x3110 << -1 << -1;
        QTest::newRow("Wii Rock Band") << 0x1BAD << 0x3110 << 1 << 0;
        QTest::newRow("Wii Guitar Hero") << 0x1BAD << 0x0120 << 1 << 1;
        QTest::newRow("Wii extra product") << 0x1BAD << 0x0005 << 1 << 0;
        QTest::newRow("0005 on PS vendor") << 0x12BA << 0x0005 << -1 << -1;
        QTest::newRow("Wii vendor, PS RB product") << 0x1BAD << 0x0210 << -1 << -1;
        QTest::newRow("a mouse") << 0x046D << 0xC077 << -1 << -1;
    }
    void deviceFilter()
    {
        QFETCH(int, vendor);
        QFETCH(int, product);
        QFETCH(int, console);
        QFETCH(int, mode);
        const auto m = MatchDeviceId(quint16(vendor), quint16(product));
        if (console < 0) {
            QVERIFY(!m);
        } else {
            QVERIFY(m);
            QCOMPARE(m->console, console);
            QCOMPARE(m->gameMode, mode);
        }
    }

    void commandPacking_data()
    {
        QTest::addColumn<TCommand>("command");
        QTest::addColumn<QByteArray>("args"); // code, arg1, arg2, arg3
        auto b = [](std::initializer_list<int> v) {
            QByteArray a;
            for (int x : v)
                a.append(char(x));
            return a;
        };
        QTest::newRow("end session") << cmd::EndSession() << b({0x00, 0, 0, 0});
        QTest::newRow("hello") << cmd::Hello() << b({0x02, 0xAA, 0x55, 0});
        QTest::newRow("get entry o3 s9") << cmd::GetMapEntry(3, 9) << b({0x03, 3, 9, 0});
        QTest::newRow("set entry empty") << cmd::SetMapEntry(7, 0, 255) << b({0x04, 7, 0, 255});
        QTest::newRow("duration 125 ms") << cmd::SetNoteDuration(125) << b({0x08, 12, 0, 0});
        QTest::newRow("duration 9 ms") << cmd::SetNoteDuration(9) << b({0x08, 0, 0, 0});
        QTest::newRow("duration above range") << cmd::SetNoteDuration(5000) << b({0x08, 255, 0, 0});
        QTest::newRow("log on") << cmd::SetMidiLog(true) << b({0x0B, 1, 0, 0});
        QTest::newRow("log off") << cmd::SetMidiLog(false) << b({0x0B, 0, 0, 0});
        QTest::newRow("velocity 12.9") << cmd::SetVelocityThreshold(12.9) << b({0x0F, 12, 0, 0});
        QTest::newRow("select map 2") << cmd::SelectMap(1) << b({0x12, 1, 0, 0});
        QTest::newRow("switch note none") << cmd::SetSwitchNote(255) << b({0x14, 255, 0, 0});
        QTest::newRow("hi-hat disabled") << cmd::SetHiHatThreshold(255) << b({0x16, 255, 0, 0});
        QTest::newRow("game mode GH") << cmd::SetGameMode(1) << b({0x18, 1, 0, 0});
    }
    void commandPacking()
    {
        QFETCH(TCommand, command);
        QFETCH(QByteArray, args);
        const auto r = BuildCommandReport(command, 0x7F);
        const QByteArray wire(reinterpret_cast<const char *>(r.data()), int(r.size()));
        // report ID, marker, code, sequence, three arguments, two zeros
        QCOMPARE(wire,
                 QByteArray("\x00\xBA", 2) + args.left(1) + QByteArray("\x7F", 1) + args.mid(1) + QByteArray(2, '\0'));
    }

    void neverSentCodes()
    {
        for (int code : {0x05, 0x06, 0x0A, 0x0C, 0x0D, 0x19, 0x7F})
            QVERIFY2(!IsKnownCommand(code), qPrintable(QString::number(code, 16)));
        int known = 0;
        for (int code = 0; code < 128; ++code)
            known += IsKnownCommand(code);
        QCOMPARE(known, 20);
    }

    void reportDescriptor()
    {
        const HidReportLayout box = ParseReportDescriptor(BoxReportDescriptor());
        QVERIFY(box.valid);
        QVERIFY(!box.usesReportIds);
        QCOMPARE(box.inputReportLength(), 65);
        // Two numbered input reports of 3 and 7 bytes.
        const QByteArray numbered = QByteArray::fromHex("0601ff0901a101"
                                                        "850175089503"
                                                        "8102"
                                                        "850275089507"
                                                        "8102"
                                                        "c0");
        const HidReportLayout n = ParseReportDescriptor(numbered);
        QVERIFY(n.usesReportIds);
        QCOMPARE(n.maxInputReportBytes, 7);
        QVERIFY(!ParseReportDescriptor(QByteArray::fromHex("0601")).valid); // cut short
    }
};

QTEST_GUILESS_MAIN(WireTest)
#include "test_wire.moc"
