// The device controller on the in-process bus: the refresh order, claims and
// releases, devices that cannot be opened, and the report hand-over.
#include "emulator/EmulatedHidPlatform.h"
#include "tests/LinkHarness.h"

#include <QTest>

using namespace zembrik;
using namespace zembrik::test;

class TransportTest : public QObject {
    Q_OBJECT
private slots:
    // First refresh: every device arrives, appended in walk order, each
    // announced right after its own append.
    void firstRefreshArrivals()
    {
        EmulatedHidPlatform bus;
        bus.plugOther(0x046D, 0xC077, "Mouse");
        bus.plugOther(0x045E, 0x0750, "Keyboard");
        LinkHarness h(&bus, false);
        QVERIFY(LinkHarness::waitFor([&] { return h.controller.Count() == 2; }));
        QTest::qWait(20); // the plug's own change notice: a refresh with no change
        QCOMPARE(h.events, QStringList({"arrival Mouse at 0", "arrival Keyboard at 1", "change"}));

        // An empty bus: the first refresh still announces a change, later
        // ones without a change do not.
        EmulatedHidPlatform empty;
        LinkHarness e(&empty, false);
        QVERIFY(LinkHarness::waitFor([&] { return e.controller.RefreshCount() == 1; }));
        e.controller.DeviceChange();
        QCOMPARE(e.events, QStringList({"change"}));
    }

    // Removals run last to first; duplicates are dropped; arrivals append.
    void refreshOrderAndDuplicates()
    {
        EmulatedHidPlatform bus;
        const int a = bus.plugOther(1, 1, "A");
        bus.plugOther(2, 2, "B");
        const int c = bus.plugOther(3, 3, "C");
        LinkHarness h(&bus, false);
        QVERIFY(LinkHarness::waitFor([&] { return h.controller.Count() == 3; }));
        h.events.clear();
        bus.unplug(a);
        bus.unplug(c);
        bus.plugOther(4, 4, "D");
        bus.setWalkOrderReversed(true); // B is listed again, after D
        QVERIFY(LinkHarness::waitFor([&] { return h.controller.Count() == 2; }));
        QCOMPARE(h.events, QStringList({"removal C", "removal A", "arrival D at 1", "change"}));
        QCOMPARE(h.controller.Device(0)->ProductString(), QStringLiteral("B"));
    }

    // A claimed device that has gone stays listed and is reported gone at
    // every refresh until it is released.
    void goneButClaimed()
    {
        EmulatedHidPlatform bus;
        VirtualBox box;
        const int id = bus.plugBox(&box);
        LinkHarness h(&bus, false);
        QVERIFY(LinkHarness::waitFor([&] { return h.controller.Count() == 1; }));
        TJvHidDevice *dev = h.controller.ClaimDevice(0);
        QVERIFY(dev);
        QVERIFY(!h.controller.ClaimDevice(0)); // already claimed
        QVERIFY(!h.controller.ClaimDevice(5));
        h.events.clear();
        bus.unplug(id);
        QVERIFY(LinkHarness::waitFor([&] { return h.events.size() == 2; }));
        QCOMPARE(h.controller.Count(), 1);
        QVERIFY(!dev->PluggedIn());
        bus.plugOther(9, 9, "Mouse"); // any later change
        QVERIFY(LinkHarness::waitFor([&] { return h.controller.Count() == 2; }));
        QCOMPARE(h.events.mid(2, 2), QStringList({"removal MIDI Zembrik", "arrival Mouse at 1"}));
        h.controller.ReleaseDevice(dev);
        QCOMPARE(h.controller.Count(), 1);
        QCOMPARE(h.controller.Device(0)->ProductString(), QStringLiteral("Mouse"));
    }

    // Release of a present device puts a fresh unclaimed object in its place.
    void releaseReplacesAtSameIndex()
    {
        EmulatedHidPlatform bus;
        VirtualBox box;
        bus.plugOther(1, 1, "A");
        bus.plugBox(&box);
        bus.plugOther(2, 2, "B");
        LinkHarness h(&bus, false);
        QVERIFY(LinkHarness::waitFor([&] { return h.controller.Count() == 3; }));
        QPointer<TJvHidDevice> dev = h.controller.ClaimDevice(1);
        QVERIFY(dev->HasReadThread());
        h.controller.ReleaseDevice(dev);
        TJvHidDevice *fresh = h.controller.Device(1);
        QVERIFY(fresh != dev.data());
        QVERIFY(!fresh->Claimed());
        QCOMPARE(fresh->ProductString(), QStringLiteral("MIDI Zembrik"));
        QVERIFY(LinkHarness::waitFor([&] { return dev.isNull(); })); // discarded
    }

    // A change seen while a refresh runs gets one more refresh afterwards.
    void changeDuringRefreshIsNotLost()
    {
        EmulatedHidPlatform bus;
        bus.plugOther(1, 1, "A");
        LinkHarness h(&bus, false);
        bool plugged = false;
        h.controller.OnArrival = [&](TJvHidDevice *) {
            if (!plugged) {
                plugged = true;
                bus.plugOther(2, 2, "B");
                // a handler's command exchange dispatches events here
                QTest::qWait(20);
            }
        };
        QVERIFY(LinkHarness::waitFor([&] { return h.controller.Count() == 2; }));
        QCOMPARE(h.controller.RefreshCount(), 2);
    }

    // Nodes that cannot be opened are listed (never opened at refresh); a
    // box among them is claimed without a reader and its error names the
    // node and the cause.
    void unopenableDevices()
    {
        EmulatedHidPlatform bus;
        bus.plugOther(0x046D, 0xC077, "Mouse", false);
        const int id = bus.plugInaccessibleBox(0x12BA, 0x0210);
        LinkHarness h(&bus);
        QVERIFY(LinkHarness::waitFor([&] { return h.greetings() == 1; }));
        QCOMPARE(h.controller.Count(), 2);
        QVERIFY(h.link.CurrentDevice);
        QVERIFY(!h.link.CurrentDevice->HasReadThread());
        QCOMPARE(h.link.AccessError, bus.info(id).path + ": Permission denied");
        QVERIFY(!h.connected());
    }

    // The reader queues far more than the kernel's 64 reports while the UI
    // thread is busy, hands them over in order, and counts any overflow.
    void handOverKeepsOrderAndCountsDrops()
    {
        EmulatedHidPlatform bus;
        VirtualBox box;
        bus.plugBox(&box);
        // A deep driver queue, so that a loaded machine cannot lose reports
        // before our reader sees them; this test is about our queue.
        bus.setDefaultQueueLength(2048);
        TJvHidDeviceController controller(&bus);
        std::vector<int> seen;
        controller.OnDeviceData = [&](TJvHidDevice *, const TJvHidReport &r) {
            QCOMPARE(r.ReportID, quint8(0));
            QCOMPARE(r.Size, quint16(64));
            seen.push_back(r.Data[0] | r.Data[1] << 8);
        };
        QVERIFY(LinkHarness::waitFor([&] { return controller.Count() == 1; }));
        TJvHidDevice *dev = controller.ClaimDevice(0);
        QVERIFY(dev->HasReadThread());
        // The UI thread handles no events while the box streams.
        auto stream = [&](int from, int count) {
            for (int i = from; i < from + count; ++i) {
                std::vector<quint8> r(64, 0);
                r[0] = quint8(i);
                r[1] = quint8(i >> 8);
                box.sendRawReport(r);
                if (i % 16 == 15)
                    QTest::qSleep(1);
            }
            QTest::qSleep(50);
        };
        stream(0, 1000);
        LinkHarness::waitFor([&] { return seen.size() == 1000; });
        QCOMPARE(seen.size(), size_t(1000));
        for (int i = 0; i < 1000; ++i)
            QCOMPARE(seen[i], i);
        QCOMPARE(dev->DroppedReports(), quint64(0));

        dev->SetReportQueueCapacity(100);
        stream(1000, 300);
        // Still without handling events: let the reader take in all 300.
        for (int i = 0; i < 200 && dev->DroppedReports() < 200; ++i)
            QTest::qSleep(10);
        QVERIFY(LinkHarness::waitFor([&] { return seen.size() == 1100; }));
        QCOMPARE(dev->DroppedReports(), quint64(200));
        QCOMPARE(seen[1099], 1099);
        controller.ReleaseDevice(dev);
    }

    // The hand-over is asynchronous: releasing a device while its reports
    // wait for the UI thread neither blocks nor delivers them.
    void releaseWithReportsPending()
    {
        EmulatedHidPlatform bus;
        VirtualBox box;
        bus.plugBox(&box);
        TJvHidDeviceController controller(&bus);
        int delivered = 0;
        controller.OnDeviceData = [&](TJvHidDevice *, const TJvHidReport &) { ++delivered; };
        QVERIFY(LinkHarness::waitFor([&] { return controller.Count() == 1; }));
        TJvHidDevice *dev = controller.ClaimDevice(0);
        for (int i = 0; i < 50; ++i)
            box.sendControllerReport();
        QTest::qSleep(30);
        QElapsedTimer t;
        t.start();
        controller.ReleaseDevice(dev);
        QVERIFY(t.elapsed() < 500);
        QTest::qWait(20);
        QCOMPARE(delivered, 0);
    }
};

QTEST_GUILESS_MAIN(TransportTest)
#include "test_transport.moc"
