// MIDI learn without widgets: the log report parser, which notes the engine
// learns from literal log reports, and what it sends the emulated box.
#include "emulator/EmulatedHidPlatform.h"
#include "monitor/LogReport.h"
#include "monitor/MidiLearn.h"
#include "tests/LinkHarness.h"

#include <QSignalSpy>
#include <QTest>

#include <initializer_list>

using namespace zembrik;
using namespace zembrik::test;

Q_DECLARE_METATYPE(QList<QByteArray>)

namespace {

// A 64-byte report from its first bytes; the rest is zero.
QByteArray report(std::initializer_list<int> bytes)
{
    QByteArray r(64, '\0');
    int i = 0;
    for (int b : bytes)
        r[i++] = static_cast<char>(b);
    return r;
}

const quint8 *data(const QByteArray &r)
{
    return reinterpret_cast<const quint8 *>(r.constData());
}

// Commands the box received, with 0x0B's on/off argument: "0b(1) 0b(0)".
QString logSwitches(const VirtualBox &box)
{
    QStringList out;
    for (const ReceivedCommand &c : box.commands())
        out << QStringLiteral("%1(%2)").arg(c.code, 2, 16, QLatin1Char('0')).arg(c.arg1);
    return out.join(QLatin1Char(' '));
}

struct Rig : BoxRig {
    TMidiLearn learn{h.link};
    QList<int> notes;
    Rig()
    {
        QObject::connect(&learn, &TMidiLearn::NoteLearned, [this](int n) { notes << n; });
    }
};

} // namespace

class MidiLearnTest : public QObject {
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("isLog");
        QTest::addColumn<int>("pairs");
        QTest::newRow("two pairs") << report({0xBA, 9, 4, 1, 38, 2, 97}) << 64 << true << 2;
        QTest::newRow("odd last byte ignored") << report({0xBA, 9, 5, 1, 38, 2, 97, 1}) << 64 << true << 2;
        QTest::newRow("no marker") << report({0x01, 9, 4, 1, 38, 2, 97}) << 64 << false << 0;
        QTest::newRow("length past the 30 pairs") << report({0xBA, 9, 250}) << 64 << true << 30;
        QTest::newRow("length past a short report") << report({0xBA, 9, 8, 1, 38, 2, 97}) << 8 << true << 2;
        QTest::newRow("too short for a header") << report({0xBA, 9}) << 2 << false << 0;
    }
    void parse()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, size);
        QFETCH(bool, isLog);
        QFETCH(int, pairs);
        const std::optional<TLogReport> r = TLogReport::Parse(data(bytes), size);
        QCOMPARE(r.has_value(), isLog);
        if (!r)
            return;
        QCOMPARE(r->sequence, quint8(9));
        QCOMPARE(r->pairCount, pairs);
        if (pairs == 2) {
            QCOMPARE(r->pairs[0], (TLogPair{lgNoteOn, 38}));
            QCOMPARE(r->pairs[1], (TLogPair{lgOnVelocity, 97}));
        }
    }

    // Reports fed in order to an active engine; the notes it learned.
    void learn_data()
    {
        QTest::addColumn<QList<QByteArray>>("reports");
        QTest::addColumn<QList<int>>("notes");
        //                        marker seq len  Note ON    ON Vel
        QTest::newRow("note and velocity in one report")
            << QList<QByteArray>{report({0xBA, 1, 4, 1, 38, 2, 97})} << QList<int>{38};
        QTest::newRow("velocity in the next report")
            << QList<QByteArray>{report({0xBA, 1, 2, 1, 38}), report({0xBA, 2, 2, 2, 97})} << QList<int>{38};
        QTest::newRow("velocity 0 is a note-off")
            << QList<QByteArray>{report({0xBA, 1, 4, 1, 38, 2, 0})} << QList<int>{};
        QTest::newRow("after velocity 0 the next note")
            << QList<QByteArray>{report({0xBA, 1, 8, 1, 38, 2, 0, 1, 40, 2, 90})} << QList<int>{40};
        QTest::newRow("repeated sequence number dropped")
            << QList<QByteArray>{report({0xBA, 5, 4, 1, 38, 2, 97}), report({0xBA, 5, 4, 1, 38, 2, 97})}
            << QList<int>{38};
        QTest::newRow("velocity in a repeat dropped")
            << QList<QByteArray>{report({0xBA, 5, 2, 1, 38}), report({0xBA, 5, 2, 2, 97})} << QList<int>{};
        //                        pads  select  direction
        QTest::newRow("controller report") << QList<QByteArray>{report({0x01, 1, 4, 1, 38, 2, 97})} << QList<int>{};
        //                             Note OFF   OFF Vel
        QTest::newRow("note off") << QList<QByteArray>{report({0xBA, 1, 4, 3, 38, 4, 64})} << QList<int>{};
        QTest::newRow("velocity after note off")
            << QList<QByteArray>{report({0xBA, 1, 4, 3, 38, 2, 64})} << QList<int>{};
        QTest::newRow("velocity without a note") << QList<QByteArray>{report({0xBA, 1, 2, 2, 97})} << QList<int>{};
        //                                               Note ON    CC        ON Vel
        QTest::newRow("CC between note and velocity")
            << QList<QByteArray>{report({0xBA, 1, 6, 1, 38, 9, 4, 2, 97})} << QList<int>{38};
        //                                               Note ON    Status    ON Vel
        QTest::newRow("status between note and velocity")
            << QList<QByteArray>{report({0xBA, 1, 6, 1, 38, 0, 0x90, 2, 97})} << QList<int>{};
        QTest::newRow("one note per report")
            << QList<QByteArray>{report({0xBA, 1, 8, 1, 38, 2, 97, 1, 40, 2, 90})} << QList<int>{38};
        QTest::newRow("one note each, report after report")
            << QList<QByteArray>{report({0xBA, 1, 4, 1, 38, 2, 97}), report({0xBA, 2, 4, 1, 40, 2, 90})}
            << QList<int>{38, 40};
        QTest::newRow("pair past the length byte unread")
            << QList<QByteArray>{report({0xBA, 1, 2, 1, 38, 2, 97})} << QList<int>{};
    }
    void learn()
    {
        QFETCH(QList<QByteArray>, reports);
        QFETCH(QList<int>, notes);
        Rig rig;
        QVERIFY(rig.ready());
        QVERIFY(rig.learn.Start());
        for (const QByteArray &r : reports)
            rig.learn.Feed(data(r));
        QCOMPARE(rig.notes, notes);
        QVERIFY(rig.learn.Active()); // stays on for the next cell
    }

    void inactiveEngineTakesNothing()
    {
        Rig rig;
        QVERIFY(rig.ready());
        const QByteArray r = report({0xBA, 1, 4, 1, 38, 2, 97});
        rig.learn.Feed(data(r));
        QVERIFY(rig.learn.Start());
        rig.learn.Stop();
        rig.learn.Feed(data(report({0xBA, 2, 4, 1, 38, 2, 97})));
        QCOMPARE(rig.notes, QList<int>{});
    }

    // The box's logging goes on once and off once, whatever the calls; a
    // hit on the box's MIDI IN is learned in between.
    void onTheWire()
    {
        Rig rig;
        QVERIFY(rig.ready());
        QObject::connect(&rig.h.link, &TDeviceLink::ReportReceived,
                         [&](const TJvHidReport &r) { rig.learn.Feed(r.Data); });
        QSignalSpy active(&rig.learn, &TMidiLearn::ActiveChanged);
        QVERIFY(rig.learn.Start());
        QVERIFY(rig.learn.Start());
        QVERIFY(rig.learn.Active());
        QCOMPARE(logSwitches(rig.box), QStringLiteral("0b(1)"));

        rig.box.feedMidi({{lgNoteOn, 38}, {lgOnVelocity, 0}, {lgNoteOn, 45}});
        rig.box.feedMidi({{lgOnVelocity, 100}});
        QVERIFY(LinkHarness::waitFor([&] { return !rig.notes.isEmpty(); }));
        QCOMPARE(rig.notes, QList<int>{45});

        rig.learn.Stop();
        rig.learn.Stop();
        QVERIFY(!rig.learn.Active());
        QCOMPARE(logSwitches(rig.box), QStringLiteral("0b(1) 0b(0)"));
        QCOMPARE(active.size(), 2);
        QVERIFY(!rig.box.withFirmware([](ZembrikFirmware &f) { return f.logging(); }));
    }

    // The box is gone: inactive, nothing sent, and no start without a box.
    void boxGone()
    {
        Rig rig;
        QVERIFY(rig.ready());
        QVERIFY(rig.learn.Start());
        rig.box.clearCommands();
        rig.learn.Forget();
        QVERIFY(!rig.learn.Active());
        rig.learn.Stop();
        QCOMPARE(logSwitches(rig.box), QString());

        rig.bus.unplug(rig.plug);
        QVERIFY(LinkHarness::waitFor([&] { return !rig.h.link.CurrentDevice; }));
        QVERIFY(!rig.learn.Start());
        QVERIFY(!rig.learn.Active());
    }
};

QTEST_GUILESS_MAIN(MidiLearnTest)
#include "test_midi_learn.moc"
