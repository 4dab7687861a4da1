// The "Settings" page on the wire, against the emulated box: what each
// change sends, what the page reads at connection, which panels the model
// and firmware show, a box that does not answer, and changes made while
// the page waits for the box.
#include "Modules/ValueEditFrame.h"
#include "settings/SettingsPage.h"
#include "tests/WindowRig.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

using namespace zembrik;
using namespace zembrik::test;

namespace {

// The settings commands the box received, with their argument.
QString settingsWire(const VirtualBox &box)
{
    QStringList out;
    for (const ReceivedCommand &c : box.commands()) {
        switch (c.code) {
        case CMD_GET_NOTE_DURATION:
        case CMD_GET_VELOCITY_THRESHOLD:
        case CMD_GET_HIHAT_THRESHOLD:
            out << QStringLiteral("%1").arg(c.code, 2, 16, QLatin1Char('0'));
            break;
        case CMD_SET_NOTE_DURATION:
        case CMD_SET_VELOCITY_THRESHOLD:
        case CMD_SET_HIHAT_THRESHOLD:
            out << QStringLiteral("%1(%2)").arg(c.code, 2, 16, QLatin1Char('0')).arg(c.arg1);
            break;
        default:
            break;
        }
    }
    return out.join(QLatin1Char(' '));
}

// The window with a box, and the page's controls by name.
struct PageRig {
    WindowRig rig;
    TSettingsPage *page;
    TValueEdit *duration;
    TValueEdit *velocity;
    TValueEdit *hiHat;
    QCheckBox *enabled;

    explicit PageRig(const BoxConfig &c, int rememberedModel = 0)
        : rig(&c, rememberedModel), page(rig.form->findChild<TSettingsPage *>()),
          duration(rig.form->findChild<TValueEdit *>(QStringLiteral("veditDuration"))),
          velocity(rig.form->findChild<TValueEdit *>(QStringLiteral("veditVelocity"))),
          hiHat(rig.form->findChild<TValueEdit *>(QStringLiteral("veditHiHatThreshold"))),
          enabled(rig.form->findChild<QCheckBox *>(QStringLiteral("chkEnableHiHatThresh")))
    {
        rig.form->pgMain->setCurrentWidget(rig.form->tabSettings);
    }
    QString wire() const { return settingsWire(*rig.box); }
    bool visible(const char *panel) const
    {
        return rig.form->findChild<QWidget *>(QLatin1String(panel))->isVisibleTo(rig.form.get());
    }
    // Until no exchange waits any more.
    bool settle() const
    {
        return LinkHarness::waitFor([this] { return rig.form->Link().PendingExchanges() == 0; });
    }
};

// The slider position whose value, rounded, is the given duration.
int durationPosition(double ms)
{
    return valueedit::ValueToPosition(ms, 10, 120);
}

} // namespace

class SettingsPageTest : public QObject {
    Q_OBJECT
private slots:
    void startShowsTheDesignValues()
    {
        WindowRig rig;
        auto *page = rig.form->findChild<TSettingsPage *>();
        QVERIFY(page);
        QCOMPARE(page->veditDuration->Value(), 50.0);
        QCOMPARE(page->veditDuration->UnitsString(), QStringLiteral("millisecs"));
        QCOMPARE(page->veditDuration->Caption(), QStringLiteral("MIDI Note Duration:"));
        QCOMPARE(page->veditVelocity->Value(), 16.0);
        QCOMPARE(page->veditHiHatThreshold->Value(), 127.0);
        QVERIFY(!page->veditHiHatThreshold->Enabled());
        QVERIFY(!page->chkEnableHiHatThresh->isChecked());
        QCOMPARE(page->chkEnableHiHatThresh->toolTip(),
                 QStringLiteral("Check this box to enable the Hi Hat Pedal Threshold"));
        QVERIFY(page->pnlVelocity->isHidden());
        QVERIFY(!page->pnlHiHatThreshold->isHidden());
        QVERIFY(page->JvHTLabel1->text().contains(QStringLiteral("The <b>MIDI Note Duration</b> tells")));
        QCOMPARE(page->JvHTLabel2->text().count(QStringLiteral("<br>")), 6);
        QCOMPARE(page->veditDuration->BarBackgndColor(), QColor(Qt::black));
        QCOMPARE(page->veditDuration->BarTrackColor(), QColor(183, 183, 255));
        // Without a box nothing is sent, and the page keeps the change.
        page->veditDuration->tbarValue->SetPosition(durationPosition(57));
        QCOMPARE(page->veditDuration->Value(), 50.0);
    }

    void durationDraggedTo57Sends5AndShows50()
    {
        PageRig p(boxConfig());
        p.rig.box->clearCommands();
        p.duration->tbarValue->SetPosition(durationPosition(57));
        QCOMPARE(p.wire(), QStringLiteral("08(5)"));
        QCOMPARE(p.duration->Value(), 50.0);
        QCOMPARE(p.rig.box->config().noteDuration, 5);
    }

    void steppingUpAt120SendsNothing()
    {
        BoxConfig c = boxConfig();
        c.noteDuration = 12;
        PageRig p(c);
        QCOMPARE(p.duration->Value(), 120.0);
        p.rig.box->clearCommands();
        QTest::keyClick(p.duration->editValue, Qt::Key_Up);
        QTest::qWait(20);
        QCOMPARE(p.wire(), QString());
        QCOMPARE(p.duration->Value(), 120.0);
    }

    void enabledCheckBoxSwitchesTheThreshold()
    {
        BoxConfig c = boxConfig();
        c.hiHatThreshold = 90;
        PageRig p(c);
        QVERIFY(p.enabled->isChecked());
        QVERIFY(p.hiHat->Enabled());
        QCOMPARE(p.hiHat->Value(), 90.0);
        p.rig.box->clearCommands();
        p.enabled->click();
        QCOMPARE(p.wire(), QStringLiteral("16(255)"));
        QVERIFY(!p.hiHat->Enabled());
        QCOMPARE(p.hiHat->Value(), 127.0);
        p.rig.box->clearCommands();
        p.enabled->click();
        QCOMPARE(p.wire(), QStringLiteral("16(127)")); // 90 is not kept
        QVERIFY(p.hiHat->Enabled());
        QCOMPARE(p.rig.box->config().hiHatThreshold, 127);
        p.rig.box->clearCommands();
        p.hiHat->SetValue(40);
        QCOMPARE(p.wire(), QStringLiteral("16(40)"));
    }

    // What the page sends back of the values it read at connection.
    void readingTheBox_data()
    {
        QTest::addColumn<bool>("kq");
        QTest::addColumn<int>("duration");
        QTest::addColumn<int>("velocity");
        QTest::addColumn<int>("hiHat");
        QTest::addColumn<QString>("wire");
        QTest::newRow("base at the design values") << false << 5 << 0 << 127 << "07 15";
        QTest::newRow("base reporting 30 ms") << false << 3 << 0 << 127 << "07 08(3) 15";
        QTest::newRow("threshold off: nothing sent") << false << 5 << 0 << 255 << "07 15";
        QTest::newRow("KQ at the design values") << true << 5 << 16 << 127 << "07 0e 15";
        QTest::newRow("KQ reporting velocity 0") << true << 5 << 0 << 127 << "07 0e 0f(0) 15";
    }
    void readingTheBox()
    {
        QFETCH(bool, kq);
        QFETCH(int, duration);
        QFETCH(int, velocity);
        QFETCH(int, hiHat);
        QFETCH(QString, wire);
        BoxConfig c = kq ? boxConfig(BoxConfig::Model::KQ, 1, 8) : boxConfig();
        c.noteDuration = duration;
        c.velocityThreshold = velocity;
        c.hiHatThreshold = hiHat;
        PageRig p(c);
        QCOMPARE(p.wire(), wire);
        QCOMPARE(p.duration->Value(), duration * 10.0);
        QCOMPARE(p.visible("pnlVelocity"), kq);
        if (kq)
            QCOMPARE(p.velocity->Value(), double(velocity));
        QCOMPARE(p.enabled->isChecked(), hiHat != 255);
        QCOMPARE(p.hiHat->Enabled(), hiHat != 255);
        QCOMPARE(p.hiHat->Value(), hiHat == 255 ? 127.0 : hiHat);
    }

    void hiHatPanelFollowsTheFirmware_data()
    {
        QTest::addColumn<bool>("kq");
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<bool>("shown");
        QTest::newRow("base 3.6") << false << 3 << 6 << false;
        QTest::newRow("base 3.8") << false << 3 << 8 << true;
        QTest::newRow("KQ 1.7") << true << 1 << 7 << false;
        QTest::newRow("KQ 1.8") << true << 1 << 8 << true;
    }
    void hiHatPanelFollowsTheFirmware()
    {
        QFETCH(bool, kq);
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(bool, shown);
        PageRig p(boxConfig(kq ? BoxConfig::Model::KQ : BoxConfig::Model::Base, major, minor));
        QCOMPARE(p.visible("pnlHiHatThreshold"), shown);
        QCOMPARE(p.wire().contains(QStringLiteral("15")), shown);
        QCOMPARE(p.wire().contains(QStringLiteral("0e")), kq);
    }

    // A read that got no reply leaves the editor at its minimum, which is
    // not sent back; the status bar says so.
    void unansweredReadIsNotSentBack_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("editor");
        QTest::addColumn<double>("shown");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("later");
        QTest::newRow("duration") << int(CMD_GET_NOTE_DURATION) << "veditDuration" << 10.0
                                  << "ERROR reading the note duration from MIDI Zembrik"
                                  << "08(3)";
        QTest::newRow("velocity") << int(CMD_GET_VELOCITY_THRESHOLD) << "veditVelocity" << 0.0
                                  << "ERROR reading the velocity threshold from MIDI Zembrik"
                                  << "0f(20)";
    }
    void unansweredReadIsNotSentBack()
    {
        QFETCH(int, code);
        QFETCH(QString, editor);
        QFETCH(double, shown);
        QFETCH(QString, status);
        QFETCH(QString, later);
        BoxConfig c = boxConfig(BoxConfig::Model::KQ, 1, 8);
        c.velocityThreshold = 16; // the page's own value: nothing to send back
        WindowRig rig;
        rig.box = std::make_unique<VirtualBox>(c);
        rig.box->dropRepliesTo(static_cast<quint8>(code));
        rig.boxId = rig.bus.plugBox(rig.box.get());
        QVERIFY(
            LinkHarness::waitFor([&] { return rig.form->Connected() && rig.form->mapPage->btnUpload->isEnabled(); }));
        const QString wire = settingsWire(*rig.box);
        QVERIFY2(!wire.contains(QStringLiteral("08(")) && !wire.contains(QStringLiteral("0f(")), qPrintable(wire));
        auto *edit = rig.form->findChild<TValueEdit *>(editor);
        QCOMPARE(edit->Value(), shown);
        QCOMPARE(rig.form->StatusText(), status);
        // The editor works as before afterwards.
        rig.box->clearCommands();
        edit->SetValue(shown + 20);
        QCOMPARE(settingsWire(*rig.box), later);
    }

    // The slider moved again while the box is slow to answer: the newest
    // value follows, and page and box end up agreeing.
    void changeWhileTheBoxAnswers()
    {
        PageRig p(boxConfig());
        p.rig.box->setReplyLatencyMs(100);
        p.rig.box->clearCommands();
        QTimer::singleShot(30, p.duration, [&] { p.duration->tbarValue->SetPosition(durationPosition(110)); });
        p.duration->tbarValue->SetPosition(durationPosition(57));
        QVERIFY(p.settle());
        QCOMPARE(p.wire(), QStringLiteral("08(5) 08(11)"));
        QCOMPARE(p.duration->Value(), 110.0);
        QCOMPARE(p.rig.box->config().noteDuration, 11);
    }

    void hiHatSwitchedOffWhileTheBoxAnswers()
    {
        BoxConfig c = boxConfig();
        c.hiHatThreshold = 90;
        PageRig p(c);
        p.rig.box->setReplyLatencyMs(100);
        p.rig.box->clearCommands();
        QTimer::singleShot(30, p.enabled, [&] { p.enabled->click(); });
        p.hiHat->SetValue(60);
        QVERIFY(p.settle());
        QCOMPARE(p.wire(), QStringLiteral("16(60) 16(255)"));
        QVERIFY(!p.enabled->isChecked());
        QVERIFY(!p.hiHat->Enabled());
        QCOMPARE(p.rig.box->config().hiHatThreshold, 255);
    }

    void velocityChangedTwiceWhileTheBoxAnswers()
    {
        PageRig p(boxConfig(BoxConfig::Model::KQ, 1, 8));
        p.rig.box->setReplyLatencyMs(100);
        p.rig.box->clearCommands();
        QTimer::singleShot(30, p.velocity, [&] { p.velocity->SetValue(40); });
        QTimer::singleShot(60, p.velocity, [&] { p.velocity->SetValue(41); });
        p.velocity->SetValue(30);
        QVERIFY(p.settle());
        QCOMPARE(p.wire(), QStringLiteral("0f(30) 0f(41)"));
        QCOMPARE(p.velocity->Value(), 41.0);
        QCOMPARE(p.rig.box->config().velocityThreshold, 41);
    }
};

QTEST_MAIN(SettingsPageTest)
#include "test_settings_page.moc"
