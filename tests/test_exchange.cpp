// The command exchange against the emulated box: sequence numbers, the
// 250 ms window on a controlled clock, late and foreign replies, nested
// exchanges, stalls and unplugging in the middle of a wait.
#include "emulator/EmulatedHidPlatform.h"
#include "tests/LinkHarness.h"

#include <QTest>
#include <QTimer>

using namespace zembrik;
using namespace zembrik::test;

namespace {
// Holds the link's clock still until a generous watchdog lets it run: an
// exchange that ends while the clock stands did not wait for its timeout,
// however slow the machine is.
struct FrozenClock {
    bool released = false;
    QTimer watchdog;
    explicit FrozenClock(TDeviceLink &link)
    {
        link.SetClock([this] { return released ? qint64(1) << 40 : qint64(0); });
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [this] { released = true; });
        watchdog.start(5000);
    }
};

struct Rig : BoxRig {
    TDeviceLink &link() { return h.link; }
};
} // namespace

class ExchangeTest : public QObject {
    Q_OBJECT
private slots:
    void sequenceNumbers()
    {
        Rig rig;
        QVERIFY(rig.ready());
        // The greeting was the first command of the window: number 1.
        QCOMPARE(rig.greeting.front().code, quint8(CMD_HELLO));
        QCOMPARE(rig.greeting.front().sequence, quint8(1));
        TCommandReply r;
        rig.link().SequenceNumber = 254;
        QVERIFY(rig.link().SendCommand(cmd::GetVersion(), r));
        QVERIFY(rig.link().SendCommand(cmd::GetVersion(), r));
        QCOMPARE(r.First, 3);
        QCOMPARE(r.Second, 8);
        const auto wire = rig.box.commands();
        QCOMPARE(wire.size(), size_t(2));
        QCOMPARE(wire[0].sequence, quint8(255));
        QCOMPARE(wire[1].sequence, quint8(0));
    }

    // Command 0x00 is sent and counts as done without waiting for a reply.
    void codeZeroWaitsForNothing()
    {
        Rig rig;
        QVERIFY(rig.ready());
        rig.box.dropNextReplies(100); // the box has stopped answering
        TCommandReply r;
        const int sequence = rig.link().SequenceNumber;
        FrozenClock clock(rig.link());
        QVERIFY(rig.link().SendCommand(cmd::EndSession(), r));
        QVERIFY(!clock.released);
        QCOMPARE(r.First, -1);
        QCOMPARE(rig.link().SequenceNumber, sequence + 1);
        QVERIFY(LinkHarness::waitFor([&] { return rig.box.commands().size() == 1; }));
        QCOMPARE(rig.box.commands()[0].code, quint8(CMD_END_SESSION));
    }

    // Without a device nothing is sent, no number is used, nothing waits.
    void noDeviceSendsNothing()
    {
        Rig rig;
        QVERIFY(rig.ready());
        TCommandReply r;
        const int sequence = rig.link().SequenceNumber;
        FrozenClock clock(rig.link());
        TJvHidDevice *dev = rig.link().CurrentDevice;
        rig.link().CurrentDevice = nullptr;
        rig.h.controller.ReleaseDevice(dev);
        QVERIFY(!rig.link().SendCommand(cmd::GetVersion(), r));
        QVERIFY(!clock.released);
        QCOMPARE(r.First, -1);
        QCOMPARE(rig.link().SequenceNumber, sequence);
        QTest::qWait(20);
        QCOMPARE(rig.box.commands().size(), size_t(0));
    }

    // The reply is judged by the exchange's clock: at 250 ms it counts, at
    // 251 it does not, and the next command refuses it too.
    void replyWindow_data()
    {
        QTest::addColumn<int>("arrivesAtMs");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("at once") << 0 << true;
        QTest::newRow("exactly 250") << 250 << true;
        QTest::newRow("251") << 251 << false;
    }
    void replyWindow()
    {
        QFETCH(int, arrivesAtMs);
        QFETCH(bool, accepted);
        Rig rig;
        QVERIFY(rig.ready());
        qint64 now = 100000;
        rig.link().SetClock([&] { return now; });
        // The box answers only once the clock has moved on.
        rig.box.delayNextReply(30);
        QTimer::singleShot(5, [&] { now += arrivesAtMs; });
        TCommandReply r;
        QCOMPARE(rig.link().SendCommand(cmd::GetMapSize(), r), accepted);
        QCOMPARE(r.First, accepted ? 8 : -1);
        QCOMPARE(r.Second, accepted ? 10 : -1);
        if (!accepted) {
            // The late reply sits in LastReport; the next exchange ignores it
            // and gets its own.
            rig.link().SetClock([] { return QDateTime::currentMSecsSinceEpoch(); });
            QVERIFY(rig.link().SendCommand(cmd::GetVersion(), r));
            QCOMPARE(r.First, 3);
        }
    }

    void lateReplyIsRefusedByTheNextCommand()
    {
        Rig rig;
        QVERIFY(rig.ready());
        rig.box.delayNextReply(400);
        TCommandReply r;
        QVERIFY(!rig.link().SendCommand(cmd::GetMapCount(), r));
        QCOMPARE(r.First, -1);
        // The next command is sent before the late reply comes in.
        rig.box.setReplyLatencyMs(300);
        QVERIFY(!rig.link().SendCommand(cmd::GetActiveMap(), r));
        rig.box.setReplyLatencyMs(0);
        rig.box.flush();
        QVERIFY(rig.link().SendCommand(cmd::GetOptions(), r));
        QCOMPARE(r.First, int(kOptionMidiOut));
    }

    void wrongSequenceTimesOut()
    {
        Rig rig;
        QVERIFY(rig.ready());
        rig.box.corruptNextSequence();
        TCommandReply r;
        QElapsedTimer t;
        t.start();
        QVERIFY(!rig.link().SendCommand(cmd::GetVersion(), r));
        QVERIFY(t.elapsed() >= 250);
        QCOMPARE(r.First, -1);
    }

    // A reply followed at once by streamed data is still taken, and clearing
    // ReportArrived (the diagnostics timer does) cannot hide it.
    void replyInABurst()
    {
        Rig rig;
        QVERIFY(rig.ready());
        rig.box.setReplyLatencyMs(20);
        // Streamed data queued right behind the reply, byte 5 foreign.
        QTimer::singleShot(5, [&] {
            std::vector<quint8> log(64, 0);
            log[0] = 0xBA;
            log[5] = 0x77;
            for (int i = 0; i < 5; ++i)
                rig.box.sendRawReport(log);
        });
        QTimer diag;
        QObject::connect(&diag, &QTimer::timeout, [&] { rig.link().ReportArrived = false; });
        diag.start(1);
        TCommandReply r;
        QVERIFY(rig.link().SendCommand(cmd::GetMapSize(), r));
        QCOMPARE(r.First, 8);
    }

    // An exchange started inside another's wait gets its own reply, and the
    // outer one still gets its own.
    void nestedExchange()
    {
        Rig rig;
        QVERIFY(rig.ready());
        rig.box.setReplyLatencyMs(40);
        TCommandReply inner;
        bool innerOk = false;
        QTimer::singleShot(5, [&] { innerOk = rig.link().SendCommand(cmd::GetMapSize(), inner); });
        TCommandReply outer;
        QVERIFY(rig.link().SendCommand(cmd::GetVersion(), outer));
        QVERIFY(innerOk);
        QCOMPARE(outer.First, 3);
        QCOMPARE(outer.Second, 8);
        QCOMPARE(inner.First, 8);
        QCOMPARE(inner.Second, 10);
    }

    // A stalled SET_REPORT holds only the writer: the exchange gives up at
    // 250 ms and the event loop keeps running meanwhile.
    void stalledSendDoesNotFreeze()
    {
        Rig rig;
        QVERIFY(rig.ready());
        rig.box.stallNextSend(1500);
        int ticks = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
        tick.start(10);
        QElapsedTimer t;
        t.start();
        TCommandReply r;
        QVERIFY(!rig.link().SendCommand(cmd::GetVersion(), r));
        QVERIFY2(t.elapsed() < 600, qPrintable(QString::number(t.elapsed())));
        QVERIFY(ticks >= 5);
    }

    // Unplugged while waiting: the wait ends at once, the removal runs the
    // connection routine, and nothing dangles.
    void unplugDuringExchange()
    {
        Rig rig;
        QVERIFY(rig.ready());
        rig.box.unplugOnNextCommand();
        FrozenClock clock(rig.link());
        TCommandReply r;
        QVERIFY(!rig.link().SendCommand(cmd::GetVersion(), r));
        QVERIFY(!clock.released);
        QVERIFY(LinkHarness::waitFor([&] { return rig.h.controller.Count() == 0; }));
        QVERIFY(!rig.link().CurrentDevice);
        QVERIFY(!rig.h.connected());
        QVERIFY(!rig.link().SendCommand(cmd::GetVersion(), r));
    }

    // A report of the current device fills LastReport: at most 64 data
    // bytes are copied, and a shorter report leaves the tail alone.
    void lastReportFilling_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QByteArray>("expected"); // LastReport afterwards, first 8 bytes
        // Before each row LastReport holds 01 02 03 ... (a 70-byte report).
        QTest::newRow("70 bytes, cut at 64") << 70 << QByteArray::fromHex("0102030405060708");
        QTest::newRow("6 bytes, tail kept") << 6 << QByteArray::fromHex("a0a1a2a3a4a50708");
        QTest::newRow("empty, nothing copied") << 0 << QByteArray::fromHex("0102030405060708");
    }
    void lastReportFilling()
    {
        QFETCH(int, size);
        QFETCH(QByteArray, expected);
        Rig rig;
        QVERIFY(rig.ready());
        TDeviceLink &link = rig.link();
        std::vector<quint8> big(70);
        for (int i = 0; i < 70; ++i)
            big[i] = quint8(i + 1);
        link.HIDControllerDeviceData(link.CurrentDevice, {0, big.data(), 70, 0});
        QCOMPARE(link.LastReport[63], quint8(64));
        const quint8 small[6] = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5};
        link.ReportArrived = false;
        link.HIDControllerDeviceData(link.CurrentDevice, {0, size == 70 ? big.data() : small, quint16(size), 0});
        QVERIFY(link.ReportArrived);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(link.LastReport.data()), 8), expected);
    }

    // Without a current device, or from another claimed device (a second
    // box), a report is never taken.
    void reportsOfOtherDevicesAreIgnored()
    {
        Rig rig;
        QVERIFY(rig.ready());
        TDeviceLink &link = rig.link();
        const std::vector<quint8> report(64, 0x5A);
        link.ReportArrived = false;
        TJvHidDevice *dev = link.CurrentDevice;
        link.CurrentDevice = nullptr;
        link.HIDControllerDeviceData(dev, {0, report.data(), 64, 0});
        QVERIFY(!link.ReportArrived);
        link.CurrentDevice = dev;
        rig.bus.plugOther(0x12BA, 0x0210, QStringLiteral("Other box"));
        QVERIFY(LinkHarness::waitFor([&] { return rig.h.controller.Count() == 2; }));
        TJvHidDevice *other =
            rig.h.controller.Device(0) == dev ? rig.h.controller.Device(1) : rig.h.controller.Device(0);
        link.HIDControllerDeviceData(other, {0, report.data(), 64, 0});
        QVERIFY(!link.ReportArrived);
        QVERIFY(link.LastReport[0] != 0x5A);
    }

    // Through the real reader: reports of 0, 6 and 70 data bytes arrive in
    // order with the time they were read.
    void readerHandsOverSizesAndTimes()
    {
        Rig rig;
        QVERIFY(rig.ready());
        int routed = 0;
        std::vector<int> sizes;
        qint64 lastReadAt = 0;
        bool timesInOrder = true;
        QObject::connect(&rig.link(), &TDeviceLink::ReportReceived, [&](const TJvHidReport &r) {
            ++routed;
            sizes.push_back(r.Size);
            timesInOrder = timesInOrder && r.ReadAtNs > 0 && r.ReadAtNs >= lastReadAt;
            lastReadAt = r.ReadAtNs;
        });
        rig.box.sendRawReport({});
        rig.box.sendRawReport(std::vector<quint8>(6, 0x11));
        rig.box.sendRawReport(std::vector<quint8>(70, 0x22));
        QVERIFY(LinkHarness::waitFor([&] { return routed == 3; }));
        QCOMPARE(sizes, std::vector<int>({0, 6, 64})); // the read buffer holds 64
        QVERIFY(timesInOrder);
    }
};

QTEST_GUILESS_MAIN(ExchangeTest)
#include "test_exchange.moc"
