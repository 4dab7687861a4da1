// Map transfers against the emulated box: the order on the wire, the
// geometry, map selection, the pause after writes and a failing exchange.
#include "emulator/EmulatedHidPlatform.h"
#include "maps/MapTransfer.h"
#include "tests/LinkHarness.h"

#include <QTest>

using namespace zembrik;
using namespace zembrik::test;

namespace {
struct Rig : BoxRig {
    TMapTransfer transfer{h.link, h.connection};
    QStringList statuses;
    explicit Rig(const BoxConfig &c = {}) : BoxRig(c)
    {
        QObject::connect(&transfer, &TMapTransfer::Status, [this](const QString &t) { statuses << t; });
    }
};
} // namespace

class MapTransferTest : public QObject {
    Q_OBJECT
private slots:
    void storeThenGet()
    {
        Rig rig;
        QVERIFY(rig.ready());
        TNoteMaps maps;
        maps.Set(0, 0, 0, 36);
        maps.Set(0, 7, 9, 49);
        maps.Set(1, 3, 4, 200); // out of range values go as they are
        int last = 0, total = 0;
        QObject::connect(&rig.transfer, &TMapTransfer::Progress, [&](int d, int t) {
            last = d;
            total = t;
        });
        rig.transfer.WriteMaps(maps, 2, 8, 10);
        QCOMPARE(last, 160);
        QCOMPARE(total, 160);
        const auto wire = rig.box.commands();
        QCOMPARE(wire.size(), size_t(162));
        QCOMPARE(wire[0].code, quint8(CMD_SELECT_MAP));
        QCOMPARE(wire[1].code, quint8(CMD_SET_MAP_ENTRY));
        QCOMPARE(wire[2].arg2, quint8(1)); // slots within an output first
        QCOMPARE(wire[11].arg1, quint8(1));
        QCOMPARE(wire[81].code, quint8(CMD_SELECT_MAP));
        QCOMPARE(wire[81].arg1, quint8(1));
        QCOMPARE(wire[2].arg3, quint8(255)); // empty slots are written too
        QCOMPARE(rig.statuses, QStringList({"Transfering map 1 to MIDI Zembrik...",
                                            "Transfering map 2 to MIDI Zembrik...", "Transfer complete"}));
        for (int m = 0; m < 2; ++m)
            for (int o = 0; o < 8; ++o)
                for (int s = 0; s < 10; ++s)
                    QCOMPARE(rig.box.withFirmware([&](ZembrikFirmware &f) { return f.mapEntry(m, o, s); }),
                             maps.At(m, o, s) & 0xFF);

        TNoteMaps back;
        back.Set(1, 0, 0, 1);
        rig.statuses.clear();
        rig.transfer.ReadMaps(back, 2, 8, 10);
        QCOMPARE(back, maps);
        QCOMPARE(rig.statuses.first(), QStringLiteral("Transferring map 1 from MIDI Zembrik..."));
    }

    void geometryAndSingleMap()
    {
        BoxConfig c;
        c.outputs = 6;
        c.notesPerOutput = 8;
        c.mapCount = 1;
        c.firmwareMajor = 2; // one map: no map selection
        c.firmwareMinor = 9;
        Rig rig(c);
        QVERIFY(rig.ready());
        TNoteMaps maps;
        rig.transfer.WriteMaps(maps, 1, 6, 8);
        rig.transfer.ReadMaps(maps, 1, 6, 8);
        const auto wire = rig.box.commands();
        QCOMPARE(wire.size(), size_t(96));
        for (const auto &cmd : wire) {
            QVERIFY(cmd.code != CMD_SELECT_MAP);
            QVERIFY(cmd.arg1 < 6 && cmd.arg2 < 8);
        }
        // A box claiming more than the table holds is held to its bounds.
        rig.box.clearCommands();
        rig.transfer.ReadMaps(maps, 4, 12, 16);
        QCOMPARE(rig.box.commands().size(), size_t(2 * 8 * 10));
    }

    void pauseAfterEachWrite()
    {
        Rig rig;
        QVERIFY(rig.ready());
        TNoteMaps maps;
        QElapsedTimer t;
        t.start();
        rig.transfer.WriteMaps(maps, 1, 2, 5); // 10 writes
        QVERIFY(t.elapsed() >= 10 * TMapTransfer::kWritePauseMs);
    }

    void failedWriteStops()
    {
        Rig rig;
        QVERIFY(rig.ready());
        rig.box.dropRepliesTo(CMD_SET_MAP_ENTRY);
        TNoteMaps maps;
        bool thrown = false;
        try {
            rig.transfer.WriteMaps(maps, 2, 8, 10);
        } catch (const ETransferError &e) {
            thrown = true;
            QCOMPARE(e.message(), kWriteErrorText);
        }
        QVERIFY(thrown);
        QVERIFY(!rig.transfer.Running());
        QCOMPARE(rig.statuses.last(), kWriteErrorText);
        QTest::qWait(300);
        QCOMPARE(rig.box.commands().size(), size_t(2)); // select, one write: nothing more
    }
};

QTEST_GUILESS_MAIN(MapTransferTest)
#include "test_map_transfer.moc"
