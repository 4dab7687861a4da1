// End to end through the real hidapi and libudev code: the box is a
// /dev/hidraw node in a umockdev testbed.  Must run under umockdev-wrapper.
#include "device/HidrawPlatform.h"
#include "emulator/UMockHidBus.h"
#include "tests/LinkHarness.h"

#include <QTest>

using namespace zembrik;
using namespace zembrik::test;

class UMockdevE2E : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (!UMockHidBus::InMockEnvironment())
            QFAIL("run this test under umockdev-wrapper");
    }

    void arrivalClaimExchangeRemovalReplug()
    {
        UMockHidBus bus; // before anything touches udev
        VirtualBox box;
        HidrawPlatform platform;
        const int mouse = bus.plugOther(0x046D, 0xC077, QStringLiteral("USB Optical Mouse"));
        int boxId = bus.plugBox(&box);
        LinkHarness h(&platform);

        // Arrival: the first scan finds both, the box is claimed and greeted.
        QVERIFY(LinkHarness::waitFor([&] { return h.connected(); }));
        QCOMPARE(h.controller.Count(), 2);
        QVERIFY(h.link.CurrentDevice);
        QCOMPARE(h.link.CurrentDevice->ProductString(), QStringLiteral("MIDI Zembrik"));
        QCOMPARE(h.link.CurrentDevice->VendorID(), quint16(0x12BA));
        QVERIFY(h.link.CurrentDevice->HasReadThread());

        // Exchange over a real feature report and a real input report.
        TCommandReply reply;
        QVERIFY(h.link.SendCommand(cmd::GetVersion(), reply));
        QCOMPARE(reply.First, 3);
        QCOMPARE(reply.Second, 8);
        QVERIFY(h.link.SendCommand(cmd::SetMapEntry(2, 3, 38), reply));
        QCOMPARE(box.withFirmware([](ZembrikFirmware &f) { return f.mapEntry(0, 2, 3); }), 38);
        const auto wire = box.commands();
        QCOMPARE(wire.back().code, quint8(CMD_SET_MAP_ENTRY));
        QCOMPARE(wire.back().sequence, quint8(h.link.SequenceNumber));

        // Removal of another HID device: the box is greeted again.
        const int greetings = h.greetings();
        bus.unplug(mouse);
        QVERIFY(LinkHarness::waitFor([&] { return h.greetings() > greetings && h.controller.Count() == 1; }));
        QVERIFY(h.connected());

        // A burst of udev events (three devices, several events each) gives
        // one refresh, or two when the burst straddles the quiet time.
        const int refreshes = h.controller.RefreshCount();
        QList<int> burst;
        for (int i = 0; i < 3; ++i)
            burst << bus.plugOther(0x046D, quint16(0xC100 + i), QStringLiteral("Keyboard"));
        QVERIFY(LinkHarness::waitFor([&] { return h.controller.Count() == 4; }));
        QTest::qWait(100);
        QVERIFY2(h.controller.RefreshCount() - refreshes <= 2,
                 qPrintable(QString::number(h.controller.RefreshCount() - refreshes)));
        for (int id : burst)
            bus.unplug(id);
        QVERIFY(LinkHarness::waitFor([&] { return h.controller.Count() == 1 && h.connected(); }));

        // Removal of the box itself.
        bus.unplug(boxId);
        QVERIFY(LinkHarness::waitFor([&] { return h.controller.Count() == 0; }));
        QVERIFY(!h.connected());
        QVERIFY(!h.link.CurrentDevice);
        QVERIFY(!h.link.SendCommand(cmd::GetVersion(), reply));

        // Re-plug: a new identity, found and greeted again.
        boxId = bus.plugBox(&box);
        QVERIFY(LinkHarness::waitFor([&] { return h.connected(); }));
        QVERIFY(h.link.SendCommand(cmd::GetMapSize(), reply));
        QCOMPARE(reply.First, 8);
        QCOMPARE(reply.Second, 10);
        bus.unplug(boxId);
        QVERIFY(LinkHarness::waitFor([&] { return h.controller.Count() == 0; }));
    }
};

QTEST_GUILESS_MAIN(UMockdevE2E)
#include "test_umockdev_e2e.moc"
