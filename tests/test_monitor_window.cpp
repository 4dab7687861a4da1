// The monitoring pages in the window against the emulated box: reports are
// routed by the page shown, the log follows the box's log reports and its
// file, the drum test lights and counts pads and draws the waterfall, and
// the diagnostics page samples the latest report on its timer.
#include "monitor/DiagnosticsPage.h"
#include "monitor/DrumTestPage.h"
#include "monitor/MidiLog.h"
#include "monitor/MidiLogPage.h"
#include "monitor/RadioGroup.h"
#include "shell/Controls.h"
#include "tests/TestFiles.h"
#include "tests/WindowRig.h"

#include <QCheckBox>
#include <QDial>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>

using namespace zembrik;
using namespace zembrik::test;

namespace {

const QColor kGray(128, 128, 128);

struct MonitorRig : WindowRig {
    explicit MonitorRig(const BoxConfig &c = boxConfig()) : WindowRig(&c) {}
    TformMain &f() { return *form; }
    TMidiLog &log() { return *form->logPage->Log(); }
    void show(QWidget *tab) { form->pgMain->setCurrentWidget(tab); }
    // Sends the box's controller report with these pad bits.
    void pads(quint8 b0, quint8 b1, quint8 direction = 8)
    {
        box->withFirmware([&](ZembrikFirmware &fw) {
            fw.setPadBits(b0, b1);
            fw.setDirection(direction);
        });
        box->sendControllerReport();
    }
    TShape *shape(const char *name) { return form->findChild<TShape *>(QLatin1String(name)); }
    QString hits(const char *name)
    {
        return form->findChild<QLabel *>(QLatin1String(name) + QStringLiteral("Hits"))->text();
    }
    bool lastLogCommandWas(int on)
    {
        const auto cmds = box->commands();
        for (auto it = cmds.rbegin(); it != cmds.rend(); ++it)
            if (it->code == CMD_SET_MIDI_LOG)
                return it->arg1 == on;
        return false;
    }
};

} // namespace

class MonitorWindowTest : public QObject {
    Q_OBJECT
private slots:
    void theLogPageWithLoggingOnTakesLogReports()
    {
        MonitorRig rig;
        TformMain &f = rig.f();
        rig.show(f.tabLog);
        QVERIFY(!f.logPage->lblLogNotice->isVisibleTo(&f));
        f.logPage->chkEnableLog->click();
        QVERIFY(LinkHarness::waitFor(
            [&] { return rig.box->withFirmware([](ZembrikFirmware &fw) { return fw.logging(); }); }));
        QVERIFY(rig.lastLogCommandWas(1));
        rig.pads(0x04, 0x04); // a controller report: not a log report
        rig.box->feedMidi({{0x01, 38}, {0x02, 97}, {0x01, 36}});
        QVERIFY(LinkHarness::waitFor([&] { return rig.log().CurrentRow() == 2; }));
        QCOMPARE(rig.log().Row(1), QStringList({"0", "Note ON", "38", "97"}));
        QCOMPARE(rig.log().Cell(2, lcEvent), QStringLiteral("Note ON"));
        QCOMPARE(rig.hits("shRedPad"), QStringLiteral("0")); // not routed to the drum test
        QVERIFY(LinkHarness::waitFor([&] { return f.logPage->gridLog->currentIndex().row() == 1; }));

        // Another page switches logging off, on the box too.
        rig.show(f.tabMap);
        QVERIFY(!f.logPage->chkEnableLog->isChecked());
        QVERIFY(LinkHarness::waitFor(
            [&] { return !rig.box->withFirmware([](ZembrikFirmware &fw) { return fw.logging(); }); }));
        QVERIFY(rig.lastLogCommandWas(0));
    }

    void logReportsWaitForEnableLogging()
    {
        MonitorRig rig;
        TformMain &f = rig.f();
        rig.show(f.tabLog);
        rig.box->sendRawReport({0xBA, 0x01, 0x02, 0x01, 40});
        rig.pads(0x04, 0x04);
        rig.box->flush();
        QTest::qWait(100);
        QCOMPARE(rig.log().CurrentRow(), 0);
        QCOMPARE(rig.hits("shRedPad"), QStringLiteral("0"));
    }

    void aFullLogSwitchesLoggingOffAndSaysSo()
    {
        MonitorRig rig;
        TformMain &f = rig.f();
        rig.show(f.tabLog);
        f.logPage->chkEnableLog->click();
        std::vector<std::pair<quint8, quint8>> events;
        for (int i = 0; i < 210; ++i)
            events.push_back({0x09, static_cast<quint8>(i % 128)});
        rig.box->feedMidi(events);
        QVERIFY(LinkHarness::waitFor([&] { return !rig.prompter.infos.isEmpty(); }));
        QCOMPARE(rig.prompter.infos, QStringList{TMidiLogPage::kFullText});
        QVERIFY(!f.logPage->chkEnableLog->isChecked());
        QVERIFY(rig.lastLogCommandWas(0));
        QCOMPARE(rig.log().CurrentRow(), 198);
        QCOMPARE(rig.log().Cell(198, lcNote), QString::number(197 % 128));
        QCOMPARE(rig.log().Cell(199, lcEvent), QString());
    }

    void reportsLostByTheTransportAreCounted()
    {
        MonitorRig rig;
        TformMain &f = rig.f();
        rig.show(f.tabLog);
        f.logPage->chkEnableLog->click();
        QVERIFY(LinkHarness::waitFor(
            [&] { return rig.box->withFirmware([](ZembrikFirmware &fw) { return fw.logging(); }); }));
        QVERIFY(!f.logPage->lblLogLost->isVisibleTo(&f));
        f.Link().CurrentDevice->SetReportQueueCapacity(2);
        // The window is busy while the box sends ten reports.
        std::vector<std::pair<quint8, quint8>> events(300, {0x09, 1});
        rig.box->feedMidi(events);
        rig.box->flush();
        QTest::qSleep(200); // the reader meets a full queue meanwhile
        QVERIFY(f.Link().CurrentDevice->DroppedReports() > 0);
        const quint64 lost = f.Link().CurrentDevice->DroppedReports();
        QVERIFY(LinkHarness::waitFor([&] { return f.logPage->lblLogLost->isVisibleTo(&f); }));
        QVERIFY(f.logPage->lblLogLost->text().startsWith(QString::number(lost) + QLatin1Char(' ')));
        f.Link().CurrentDevice->SetReportQueueCapacity(TJvHidDevice::kReportQueueCapacity);
    }

    void theLogFileFromThePage()
    {
        MonitorRig rig;
        TformMain &f = rig.f();
        rig.show(f.tabLog);
        QTemporaryDir dir;
        f.logPage->chkEnableLog->click();
        rig.box->feedMidi({{0x01, 38}, {0x02, 97}});
        QVERIFY(LinkHarness::waitFor([&] { return rig.log().CurrentRow() == 1; }));

        rig.prompter.file = dir.filePath(QStringLiteral("drums.CSV"));
        f.logPage->btnSaveLog->click();
        QVERIFY(!f.logPage->chkEnableLog->isChecked()); // saving switches logging off
        QCOMPARE(rig.prompter.dialogs.last(), QStringLiteral("save Comma-separated Values|*.CSV .CSV"));
        const QByteArray saved = readAll(rig.prompter.file);
        QCOMPARE(saved.count("\r\n"), 200);
        QVERIFY(saved.startsWith("Interval,Event,Note,Velocity\r\n0,Note ON,38,97\r\n,,,\r\n"));
        QVERIFY(rig.prompter.errors.isEmpty());

        // A file that cannot be read leaves the grid as it was.
        rig.prompter.file = dir.filePath(QStringLiteral("missing.CSV"));
        f.logPage->btnLoadLog->click();
        QCOMPARE(rig.prompter.errors.size(), 1);
        QVERIFY(rig.prompter.errors.first().contains(rig.prompter.file));
        QCOMPARE(rig.log().Cell(1, lcEvent), QStringLiteral("Note ON"));

        // Recalling 50 lines gives a grid of 50 rows.
        rig.prompter.file = dir.filePath(QStringLiteral("short.csv"));
        writeAll(rig.prompter.file,
                 QByteArray("Interval,Event,Note,Velocity\r\n5,CC,\"7,5\",\r\n") + QByteArray(",,,\r\n").repeated(48));
        f.logPage->btnLoadLog->click();
        QCOMPARE(rig.prompter.dialogs.last(), QStringLiteral("open Comma-separated Values|*.CSV;*.csv .CSV"));
        QCOMPARE(rig.log().GridRowCount(), 50);
        QCOMPARE(rig.log().Cell(1, lcNote), QStringLiteral("7,5"));
        QCOMPARE(f.logPage->gridLog->model()->rowCount(), 49);
    }

    void aFailedLogSaveKeepsTheOldFile()
    {
        SmallDisk disk;
        if (!disk.mounted())
            QSKIP("cannot mount a tmpfs here");
        MonitorRig rig;
        TformMain &f = rig.f();
        rig.show(f.tabLog);
        rig.prompter.file = disk.filePath(QStringLiteral("old.CSV"));
        f.logPage->btnSaveLog->click();
        QVERIFY(rig.prompter.errors.isEmpty());
        const QByteArray old = readAll(rig.prompter.file);
        f.logPage->Log()->LoadCsv(QByteArray("a,b\r\n").repeated(4000)); // larger than the disk has room for
        disk.fill();
        f.logPage->btnSaveLog->click();
        QCOMPARE(rig.prompter.errors.size(), 1);
        QVERIFY(rig.prompter.errors.first().contains(rig.prompter.file));
        QCOMPARE(readAll(rig.prompter.file), old);
    }

    void theDrumTestLightsAndCountsPads()
    {
        MonitorRig rig;
        TformMain &f = rig.f();
        rig.show(f.tabTest);
        TShape *red = rig.shape("shRedPad");
        QCOMPARE(red->BrushColor(), kGray);
        for (int i = 0; i < 10; ++i)
            rig.pads(0x04, 0x04); // held over ten reports
        QVERIFY(LinkHarness::waitFor([&] { return red->BrushColor() == QColor(255, 0, 0); }));
        rig.box->flush();
        QTest::qWait(50);
        QCOMPARE(rig.hits("shRedPad"), QStringLiteral("1"));
        rig.pads(0x00, 0x00);
        QVERIFY(LinkHarness::waitFor([&] { return red->BrushColor() == QColor(Qt::black); }));
        rig.pads(0x0C, 0x0C); // red pad and yellow cymbal
        QVERIFY(LinkHarness::waitFor([&] { return rig.hits("shYellowCymbal") == QLatin1String("1"); }));
        QCOMPARE(rig.hits("shRedPad"), QStringLiteral("2"));
        QCOMPARE(rig.hits("shYellowPad"), QStringLiteral("0"));

        // Reset: every label 0, colours until the next report.
        f.btnResetHits->click();
        for (const char *name : {"shRedPad", "shYellowCymbal", "shRedPadGH"})
            QCOMPARE(rig.hits(name), QStringLiteral("0"));
        QCOMPARE(red->BrushColor(), QColor(255, 0, 0));
        rig.pads(0x00, 0x00);
        QVERIFY(LinkHarness::waitFor([&] { return red->BrushColor() == kGray; }));

        // Guitar Hero: the orange cymbal; the Rock Band shapes are left alone.
        f.miGuitarHero1->trigger();
        QVERIFY(f.pnlDrumsGH->isVisibleTo(&f));
        rig.pads(0x20, 0x00);
        QVERIFY(LinkHarness::waitFor([&] { return rig.hits("shOrangeCymbalGH") == QLatin1String("1"); }));
        QCOMPARE(rig.shape("shOrangeCymbalGH")->BrushColor(), QColor(255, 128, 64));
        QCOMPARE(rig.hits("shKick1"), QStringLiteral("0"));
    }

    void reportsOnOtherPagesLightNothing()
    {
        MonitorRig rig;
        TformMain &f = rig.f();
        for (QWidget *tab : {f.tabMap, f.tabSettings, f.tabDiagnostics, f.tabLog}) {
            rig.show(tab);
            rig.pads(0x04, 0x04);
            rig.pads(0x00, 0x00);
        }
        rig.box->flush();
        QTest::qWait(100);
        QCOMPARE(rig.hits("shRedPad"), QStringLiteral("0"));
        QCOMPARE(rig.shape("shRedPad")->BrushColor(), kGray);
    }

    void theWaterfallRunsOnlyWhenEnabled()
    {
        MonitorRig rig;
        TformMain &f = rig.f();
        rig.show(f.tabTest);
        rig.pads(0x04, 0x04);
        rig.box->flush();
        QTest::qWait(50);
        QVERIFY(!f.testPage->Waterfall().Exists());
        f.chkEnableWaterfall->click();
        rig.pads(0x04, 0x04);
        QVERIFY(LinkHarness::waitFor([&] { return !f.testPage->imgWaterfall->Bitmap().isNull(); }));
        const QImage &shown = f.testPage->imgWaterfall->Bitmap();
        QCOMPARE(shown.size(), QSize(256, 267));
        QCOMPARE(shown.pixelColor(10, 266), QColor(255, 0, 0));
        QCOMPARE(shown.pixelColor(40, 266), QColor(0, 0, 0));
        // Unchecked: the picture stands still.
        f.chkEnableWaterfall->click();
        const quint64 lines = f.testPage->Waterfall().Lines();
        rig.pads(0x08, 0x04);
        rig.box->flush();
        QTest::qWait(50);
        QCOMPARE(f.testPage->Waterfall().Lines(), lines);
    }

    void theMapChoiceSelectsTheBoxsMap()
    {
        MonitorRig rig;
        TformMain &f = rig.f();
        rig.show(f.tabTest);
        QVERIFY(f.rgrpMap->isVisibleTo(&f));
        QCOMPARE(f.testPage->rgrpMap->ItemIndex(), 0);
        f.testPage->rgrpMap->Item(1)->click();
        QCOMPARE(f.CurrentMap(), 1);
        QVERIFY(LinkHarness::waitFor(
            [&] { return rig.box->withFirmware([](ZembrikFirmware &fw) { return fw.activeMap(); }) == 1; }));
    }

    void theMapChoiceNeedsSeveralMaps()
    {
        MonitorRig rig(boxConfig(BoxConfig::Model::Base, 2, 0));
        rig.show(rig.f().tabTest);
        QVERIFY(!rig.f().rgrpMap->isVisibleTo(&rig.f()));
    }

    void diagnosticsSampleTheLatestReport()
    {
        MonitorRig rig;
        TformMain &f = rig.f();
        TDiagnosticsPage &d = *f.diagPage;
        rig.show(f.tabDiagnostics);
        QVERIFY(!d.lblNotice->isVisibleTo(&f));
        QCOMPARE(d.labelNavPos->text(), QStringLiteral("?"));
        rig.box->withFirmware([](ZembrikFirmware &fw) {
            fw.setKnob(255);
            fw.setModeSwitch(0);
            fw.setFunctionSwitch(1);
        });
        rig.pads(0x04 | 0x10, 0x10, 0); // red (also Back), orange; Home; up
        QVERIFY(LinkHarness::waitFor([&] { return d.labelNavPos->text() == QLatin1String("UP"); }));
        QCOMPARE(d.NavIconShown(), int(niUp));
        QVERIFY(d.LedOn(d.ledHome));
        QVERIFY(d.LedOn(d.ledBack));
        QVERIFY(!d.LedOn(d.ledStart));
        QCOMPARE(d.lblAdjustKnob->text(), QStringLiteral("Position = 255"));
        QCOMPARE(d.dialAdjust->value(), 100);
        QCOMPARE(d.radgrpMode->ItemIndex(), 1);                           // "Program 1"
        QCOMPARE(d.radgrpFunction->ItemIndex(), 0);                       // "Function A"
        QCOMPARE(d.chklistButtons->item(0)->checkState(), Qt::Checked);   // Red
        QCOMPARE(d.chklistButtons->item(1)->checkState(), Qt::Unchecked); // Yellow
        QCOMPARE(d.chklistButtons->item(4)->checkState(), Qt::Checked);   // Orange

        // A tick without a new report changes nothing.
        f.Link().LastReport[2] = 6;
        QTest::qWait(500);
        QCOMPARE(d.labelNavPos->text(), QStringLiteral("UP"));
        // Another page: the timer leaves the page alone.
        rig.show(f.tabMap);
        rig.pads(0x00, 0x00, 4);
        rig.box->flush();
        QTest::qWait(500);
        QCOMPARE(d.labelNavPos->text(), QStringLiteral("UP"));
        rig.show(f.tabDiagnostics);
        QVERIFY(LinkHarness::waitFor([&] { return d.labelNavPos->text() == QLatin1String("DOWN"); }));
    }

    void theSecondModelShowsNavAndButtonsOnly()
    {
        MonitorRig rig(boxConfig(BoxConfig::Model::KQ, 3, 8));
        TformMain &f = rig.f();
        TDiagnosticsPage &d = *f.diagPage;
        rig.show(f.tabDiagnostics);
        QVERIFY(!d.pnlDiagBox->isVisibleTo(&f));
        QVERIFY(!d.ledHome->isVisibleTo(&f));
        rig.box->withFirmware([](ZembrikFirmware &fw) { fw.setKnob(200); });
        rig.pads(0x00, 0x02, 6); // Start, left
        QVERIFY(LinkHarness::waitFor([&] { return d.labelNavPos->text() == QLatin1String("LEFT"); }));
        QVERIFY(d.LedOn(d.ledStart));
        QCOMPARE(d.lblAdjustKnob->text(), QStringLiteral("Position = ?"));
    }

    void oldFirmwareShowsTheNoticesAndNothingElse()
    {
        MonitorRig rig(boxConfig(BoxConfig::Model::Base, 2, 2));
        TformMain &f = rig.f();
        rig.show(f.tabDiagnostics);
        QVERIFY(f.diagPage->lblNotice->isVisibleTo(&f));
        rig.pads(0x00, 0x00, 0);
        rig.box->flush();
        QTest::qWait(500); // more than two ticks
        QCOMPARE(f.diagPage->labelNavPos->text(), QStringLiteral("?"));
        rig.show(f.tabLog);
        QVERIFY(f.logPage->lblLogNotice->isVisibleTo(&f));
    }
};

QTEST_MAIN(MonitorWindowTest)
#include "test_monitor_window.moc"
