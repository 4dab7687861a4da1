// The connection sequence on the wire, over models, firmware versions,
// strings and failing reads; the firmware feature table; removal and close.
#include "device/Connection.h"
#include "emulator/EmulatedHidPlatform.h"
#include "maps/MapStatus.h"
#include "tests/LinkHarness.h"

#include <QTest>

using namespace zembrik;
using namespace zembrik::test;

namespace {

// What the window does, recorded.
class FakeView : public IConnectionView {
public:
    explicit FakeView(TDeviceLink &link) : link_(link) {}
    void ShowModel(int m) override { model = m; }
    void SetConsole(int c) override { console = ConsoleNames[c]; }
    void AppendConsoleText(const QString &t) override { console += t; }
    void ShowStatus(const QString &t) override { status = t; }
    void ShowFirmware(const QString &t) override { firmware = t; }
    void ShowGameMode(const QString &t) override { gameMode = t; }
    void ShowConnectionState(bool c) override { shownConnected = c; }
    void ShowAccessError(const QString &e) override { accessError = e; }
    void WarnRemoval() override { ++warnings; }
    void SetGameModeView(int m) override
    {
        view = m;
        TCommandReply r;
        link_.SendCommand(cmd::SetGameMode(quint8(m)), r);
    }
    int ViewGameMode() const override { return view; }
    void SetViewMenuVisible(bool v) override { viewMenu = v; }
    void SetSwitchGroupVisible(bool v) override { switchGroup = v; }
    void SetCloneVisible(bool v) override { clone = v; }
    void SetMapCount(int c) override { maps = c; }
    void SelectMap(int m) override { current = m; }
    int CurrentMap() const override { return current; }
    void SetMapGeometry(int o, int n) override { geometry = QStringLiteral("%1x%2").arg(o).arg(n); }
    void SetSwitchNote(int n) override
    {
        TCommandReply r;
        link_.SendCommand(cmd::SetSwitchNote(quint8(n)), r);
    }
    bool UnsavedMapAtRisk() const override { return RemovalWarningDue(mapStatus); }
    void BoxGreeted() override { mapStatus &= ~msSavedToBox; }
    void ReadDeviceSettings() override { ++settingsReads; }

    TDeviceLink &link_;
    int model = -1, view = 0, maps = 0, current = 0, warnings = 0, settingsReads = 0;
    QString console, status, firmware = QStringLiteral("?.?"), gameMode = QStringLiteral("?.?"), geometry, accessError;
    bool shownConnected = false, viewMenu = true, switchGroup = false, clone = false;
    quint8 mapStatus = 0;
};

struct Rig {
    EmulatedHidPlatform bus;
    std::unique_ptr<VirtualBox> box;
    TJvHidDeviceController controller{&bus};
    TDeviceLink link{&controller};
    FakeView view{link};
    TConnection connection{link, view};
    explicit Rig(const BoxConfig &config, const std::vector<quint8> &unanswered = {}, int helloFirst = -1)
        : box(std::make_unique<VirtualBox>(config))
    {
        for (quint8 code : unanswered)
            box->dropRepliesTo(code);
        if (helloFirst >= 0)
            box->withFirmware([&](ZembrikFirmware &f) {
                f.setHelloReply(helloFirst, 0x55);
                return 0;
            });
        bus.plugBox(box.get());
    }
    // The first connection routine has ended.
    bool ready()
    {
        const bool done = LinkHarness::waitFor([&] {
            return controller.Count() == 1 && view.shownConnected == connection.Connected() &&
                   box->commands().size() > 0;
        });
        QTest::qWait(10);
        return done;
    }
    QString wire() const { return WireText(*box); }
};

BoxConfig box(BoxConfig::Model m, int major, int minor, bool midiOut = true)
{
    return MakeBoxConfig(m, major, minor, midiOut);
}

} // namespace

Q_DECLARE_METATYPE(zembrik::BoxConfig)

class ConnectionTest : public QObject {
    Q_OBJECT
private slots:
    void sequenceOnTheWire_data()
    {
        using M = BoxConfig::Model;
        QTest::addColumn<BoxConfig>("config");
        QTest::addColumn<QList<int>>("unanswered");
        QTest::addColumn<QString>("wire");
        QTest::addColumn<QString>("shown"); // firmware, console, maps/current, geometry, switch group, view menu
        const QList<int> none;
        QTest::newRow("base 2.2") << box(M::Base, 2, 2) << none << "02 01 17 09"
                                  << "2.2 Playstation + MIDI OUT 1/0 8x10 - menu";
        QTest::newRow("base 0.29") << box(M::Base, 0, 29) << none << "02 01 17 09"
                                   << "0.29 Playstation + MIDI OUT 1/0 8x10 - menu";
        QTest::newRow("base 2.9") << box(M::Base, 2, 9) << none << "02 01 17 09"
                                  << "2.9 Playstation + MIDI OUT 1/0 8x10 - menu";
        QTest::newRow("base 3.0") << box(M::Base, 3, 0) << none << "02 01 17 10 11 09"
                                  << "3.0 Playstation + MIDI OUT 2/0 8x10 - menu";
        QTest::newRow("base 3.6") << box(M::Base, 3, 6) << none << "02 01 17 10 11 09 13 14(255)"
                                  << "3.6 Playstation + MIDI OUT 2/0 8x10 switch menu";
        QTest::newRow("base 3.8") << box(M::Base, 3, 8) << none << "02 01 17 10 11 09 13 14(255)"
                                  << "3.8 Playstation + MIDI OUT 2/0 8x10 switch menu";
        QTest::newRow("KQ 1.7") << box(M::KQ, 1, 7) << none << "02 01 17 10 11 09 13 14(255)"
                                << "1.7 Playstation + MIDI OUT 2/0 8x10 switch menu";
        QTest::newRow("KQ no version") << box(M::KQ, 1, 8) << QList<int>{0x01} << "02 01 17 10 11 09"
                                       << "Error Playstation + MIDI OUT 2/0 8x10 - menu";
        BoxConfig kqi = box(M::Base, 3, 8, false);
        kqi.product = QStringLiteral("MIDI Zembrik KQi");
        QTest::newRow("KQi without MIDI OUT") << kqi << none << "02 01 17 18(0) 10 11 09 13 14(255)"
                                              << "3.8 Xbox 2/0 8x10 switch -";
        kqi.midiOut = true;
        QTest::newRow("KQi with MIDI OUT") << kqi << none << "02 01 17 10 11 09 13 14(255)"
                                           << "3.8 Xbox + MIDI OUT 2/0 8x10 switch menu";
        BoxConfig odd = box(M::Base, 3, 8);
        odd.outputs = 6;
        odd.notesPerOutput = 8;
        odd.activeMap = 1;
        QTest::newRow("6x8, box on map 2") << odd << none << "02 01 17 10 11 09 13 14(255)"
                                           << "3.8 Playstation + MIDI OUT 2/1 6x8 switch menu";
        QTest::newRow("hello unanswered") << box(M::Base, 3, 8) << QList<int>{0x02} << "02"
                                          << "?.? Playstation 0/0  - menu";
        QTest::newRow("options fail") << box(M::Base, 3, 8) << QList<int>{0x17} << "02 01 17 10 11 09 13 14(255)"
                                      << "3.8 Playstation 2/0 8x10 switch menu";
        QTest::newRow("map count fails") << box(M::Base, 3, 8) << QList<int>{0x10} << "02 01 17 10 09 13 14(255)"
                                         << "3.8 Playstation + MIDI OUT 2/1 8x10 switch menu";
        QTest::newRow("active map fails") << box(M::Base, 3, 8) << QList<int>{0x11} << "02 01 17 10 11 09 13 14(255)"
                                          << "3.8 Playstation + MIDI OUT 2/0 8x10 switch menu";
        QTest::newRow("map size fails") << odd << QList<int>{0x09} << "02 01 17 10 11 09 13 14(255)"
                                        << "3.8 Playstation + MIDI OUT 2/1 8x10 switch menu";
        QTest::newRow("switch note fails") << box(M::Base, 3, 8) << QList<int>{0x13} << "02 01 17 10 11 09 13"
                                           << "3.8 Playstation + MIDI OUT 2/0 8x10 - menu";
    }
    void sequenceOnTheWire()
    {
        QFETCH(BoxConfig, config);
        QFETCH(QList<int>, unanswered);
        QFETCH(QString, wire);
        QFETCH(QString, shown);
        std::vector<quint8> codes(unanswered.begin(), unanswered.end());
        Rig rig(config, codes);
        QVERIFY(rig.ready());
        QCOMPARE(rig.wire(), wire);
        const FakeView &v = rig.view;
        const QString got = QStringLiteral("%1 %2 %3/%4 %5 %6 %7")
                                .arg(v.firmware, v.console)
                                .arg(v.maps)
                                .arg(v.current)
                                .arg(v.geometry, v.switchGroup ? QStringLiteral("switch") : QStringLiteral("-"),
                                     v.viewMenu ? QStringLiteral("menu") : QStringLiteral("-"));
        QCOMPARE(got, shown);
        QCOMPARE(v.shownConnected, rig.connection.Connected());
        QCOMPARE(v.settingsReads, rig.connection.Connected() ? 1 : 0);
    }

    void wrongHelloEcho()
    {
        Rig rig(box(BoxConfig::Model::Base, 3, 8), {}, 0xAB);
        QVERIFY(rig.ready());
        QCOMPARE(rig.wire(), QStringLiteral("02"));
        QVERIFY(!rig.connection.Connected());
        QVERIFY(rig.link.CurrentDevice); // stays claimed
    }

    void modelFromStrings()
    {
        BoxConfig c = box(BoxConfig::Model::Base, 3, 8);
        c.manufacturer = QStringLiteral("KQ Drums");
        c.product = QStringLiteral("MIDI Zembrik");
        Rig rig(c);
        QVERIFY(rig.ready());
        QCOMPARE(rig.view.model, 1);
        QCOMPARE(rig.view.status, QStringLiteral("MIDI Zembrik KQ found"));
    }

    void features_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<QString>("features"); // diag, log, multi, switch, hihat
        QTest::newRow("base unread") << 0 << -1 << 0 << "-----";
        QTest::newRow("base 2.2") << 0 << 2 << 2 << "-----";
        QTest::newRow("base 2.3") << 0 << 2 << 3 << "DL---";
        QTest::newRow("base 0.28") << 0 << 0 << 28 << "-----";
        QTest::newRow("base 0.29") << 0 << 0 << 29 << "DL---";
        QTest::newRow("base 2.9") << 0 << 2 << 9 << "DL---";
        QTest::newRow("base 3.0") << 0 << 3 << 0 << "DLM--";
        QTest::newRow("base 3.6") << 0 << 3 << 6 << "DLMS-";
        QTest::newRow("base 3.8") << 0 << 3 << 8 << "DLMSH";
        QTest::newRow("KQ unread") << 1 << -1 << 0 << "DLM--";
        QTest::newRow("KQ 1.7") << 1 << 1 << 7 << "DLMS-";
        QTest::newRow("KQ 1.8") << 1 << 1 << 8 << "DLMSH";
    }
    void features()
    {
        QFETCH(int, model);
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(QString, features);
        QString got;
        const char *letters = "DLMSH";
        for (int f = ffDiagnostics; f <= ffHiHatThreshold; ++f)
            got += FirmwareSupports(model, major, minor, f) ? QChar::fromLatin1(letters[f]) : QLatin1Char('-');
        QCOMPARE(got, features);
        QVERIFY(!FirmwareSupports(model, 9, 9, 5));
    }

    // Unplugging another device greets the box again and drops
    // "[Saved to Midi Zembrik]", after the warning when it is due.
    void removalOfAnotherDevice()
    {
        Rig rig(box(BoxConfig::Model::Base, 3, 8));
        QVERIFY(rig.ready());
        const int mouse = rig.bus.plugOther(0x046D, 0xC077, QStringLiteral("Mouse"));
        QVERIFY(LinkHarness::waitFor([&] { return rig.controller.Count() == 2; }));
        rig.view.mapStatus = msSavedToBox | msModified;
        rig.box->clearCommands();
        rig.bus.unplug(mouse);
        QVERIFY(LinkHarness::waitFor([&] { return rig.controller.Count() == 1 && rig.box->commands().size() >= 8; }));
        QCOMPARE(rig.wire(), QStringLiteral("02 01 17 10 11 09 13 14(255)"));
        QCOMPARE(rig.view.warnings, 0);
        QCOMPARE(rig.view.mapStatus, quint8(msModified));
        QVERIFY(rig.connection.Connected());
        // Now modified and not stored: the warning comes first.
        const int other = rig.bus.plugOther(0x046D, 0xC077, QStringLiteral("Mouse"));
        QVERIFY(LinkHarness::waitFor([&] { return rig.controller.Count() == 2; }));
        rig.bus.unplug(other);
        QVERIFY(LinkHarness::waitFor([&] { return rig.view.warnings == 1; }));
    }

    void closing()
    {
        Rig rig(box(BoxConfig::Model::Base, 3, 8));
        QVERIFY(rig.ready());
        rig.box->clearCommands();
        rig.connection.EndSession();
        QVERIFY(LinkHarness::waitFor([&] { return rig.box->commands().size() == 1; }));
        QCOMPARE(rig.wire(), QStringLiteral("00"));
        Rig silent(box(BoxConfig::Model::Base, 3, 8), {}, 0x00); // hello not answered as the box does
        QVERIFY(silent.ready());
        QVERIFY(!silent.connection.Connected());
        silent.box->clearCommands();
        silent.connection.EndSession(); // not connected: nothing
        QTest::qWait(20);
        QCOMPARE(silent.box->commands().size(), size_t(0));
    }

    void removalWarningRule()
    {
        QVERIFY(!RemovalWarningDue(0));
        QVERIFY(RemovalWarningDue(msModified));
        QVERIFY(RemovalWarningDue(msRecalledFromFile | msSavedInFile));
        QVERIFY(!RemovalWarningDue(msModified | msRecalledFromBox));
        QVERIFY(!RemovalWarningDue(msRecalledFromFile | msSavedToBox));
    }
};

QTEST_GUILESS_MAIN(ConnectionTest)
#include "test_connection.moc"
