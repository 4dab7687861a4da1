// The settings file through the window's life: a restart keeps the chart
// page (its list the drag source), the custom chart and the model; a
// cancelled close saves nothing; positions that do not fit are not applied;
// an unreadable file goes to the trash and the window starts on defaults
// with one message.  The settings live in a temporary home.
#include "charts/ChartWidgets.h"
#include "shell/Controls.h"
#include "shell/SettingsFile.h"
#include "tests/TestFiles.h"
#include "tests/WindowRig.h"

#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>

using namespace zembrik;
using namespace zembrik::test;

namespace {
const QStringList kChart{"<U><B>Mine</B></U>", "<FONT COLOR=clBLUE>38</FONT> Snare",
                         "<FONT COLOR=clBLUE>36</FONT> Kick"};
} // namespace

class SettingsWindowTest : public QObject {
    Q_OBJECT
private slots:
    void restartKeepsPageChartAndModel()
    {
        SettingsHome home;
        {
            WindowRig rig;
            TformMain &f = *rig.form;
            QCOMPARE(f.charts->CurrentChartList, f.charts->chartLists[0]); // first run: defaults
            QCOMPARE(ChartItems(f.charts->chartLists[6]), QStringList{"<U><B>Custom Chart</B></U>"});
            f.charts->pageNoteCharts->SetActivePageIndex(5);
            f.charts->pageNoteChartsChange(5);
            SetChartItems(f.charts->chartLists[6], kChart);
            f.ShowModel(1);
            QVERIFY(f.close());
        }
        const QByteArray saved = readAll(TSettingsFile::FileName());
        QVERIFY(saved.contains("<pageNoteCharts_Tag>5</pageNoteCharts_Tag>"));
        QVERIFY(saved.contains("<grpInfo_Tag>1</grpInfo_Tag>"));
        WindowRig rig;
        TformMain &f = *rig.form;
        QCOMPARE(f.charts->pageNoteCharts->ActivePageIndex(), 5);
        QCOMPARE(f.charts->CurrentChartList, f.charts->chartLists[5]);
        QVERIFY(f.charts->editNote10DragOver(f.mapPage->editNote[0][0], f.charts->chartLists[5]));
        QCOMPARE(ChartItems(f.charts->chartLists[6]), kChart);
        QCOMPARE(Tag(f.grpInfo), 1);
        QVERIFY(f.imgModelSecond->isVisible());
        QVERIFY(rig.prompter.infos.isEmpty());
    }

    void cancelledCloseSavesNothing()
    {
        SettingsHome home;
        WindowRig rig;
        TformMain &f = *rig.form;
        f.SetMapStatus(msModified);
        rig.prompter.answer = false; // "Cancel" to the close question
        QVERIFY(!f.close());
        QCOMPARE(rig.prompter.asked.size(), 1);
        QVERIFY(!QFile::exists(TSettingsFile::FileName()));
        rig.prompter.answer = true;
        QVERIFY(f.close());
        QVERIFY(readAll(TSettingsFile::FileName()).contains("<NormPos>"));
    }

    void exitSavesOnDestruction()
    {
        SettingsHome home;
        {
            WindowRig rig;
            rig.form->charts->pageNoteCharts->SetActivePageIndex(2);
            rig.form->charts->pageNoteChartsChange(2);
            rig.form->Exit1Click();
            QVERIFY(!QFile::exists(TSettingsFile::FileName())); // not yet
        }
        QVERIFY(readAll(TSettingsFile::FileName()).contains("<pageNoteCharts_Tag>2</pageNoteCharts_Tag>"));
    }

    void restartPutsTheWindowBack()
    {
        SettingsHome home;
        QCOMPARE(QGuiApplication::primaryScreen()->virtualGeometry(), QRect(0, 0, 1920, 1080));
        QSize frame;
        {
            WindowRig rig;
            rig.form->move(300, 200);
            QTRY_COMPARE(rig.form->pos(), QPoint(300, 200));
            frame = rig.form->frameGeometry().size();
            QVERIFY(rig.form->close());
        }
        const QByteArray saved = readAll(TSettingsFile::FileName());
        const QByteArray norm =
            QStringLiteral("300,200,%1,%2").arg(300 + frame.width()).arg(200 + frame.height()).toLatin1();
        QVERIFY2(saved.contains("<NormPos_1920x1080_>" + norm + "</NormPos_1920x1080_>"), saved.constData());
        QVERIFY(saved.contains("<NormPos>" + norm + "</NormPos>"));
        WindowRig rig;
        QCOMPARE(rig.form->pos(), QPoint(300, 200));
    }

    void positionsThatDoNotFitAreNotApplied_data()
    {
        QTest::addColumn<QByteArray>("formMain");
        QTest::newRow("off every monitor") << QByteArray("<NormPos>30000,30000,30900,30600</NormPos>");
        QTest::newRow("half off the monitor") << QByteArray("<NormPos>1500,100,2380,700</NormPos>");
        QTest::newRow("other resolution")
            << QByteArray("<PixelsPerInch>120</PixelsPerInch><NormPos>10,10,20,20</NormPos>");
    }
    void positionsThatDoNotFitAreNotApplied()
    {
        QFETCH(QByteArray, formMain);
        SettingsHome home;
        QPoint unplaced;
        {
            WindowRig rig;
            unplaced = rig.form->pos();
            rig.form->Exit1Click();
        }
        QFile::remove(TSettingsFile::FileName());
        writeAll(TSettingsFile::FileName(),
                 "<?xml version=\"1.0\"?><Configuration><formMain>" + formMain + "</formMain></Configuration>");
        WindowRig rig;
        QCOMPARE(rig.form->pos(), unplaced);
        QVERIFY(unplaced != QPoint(10, 10) && unplaced != QPoint(1500, 100));
    }

    void unreadableFileStartsOnDefaults()
    {
        SettingsHome home;
        QDir().mkpath(QFileInfo(TSettingsFile::FileName()).absolutePath());
        writeAll(TSettingsFile::FileName(), "<Configuration><formMain><pageNoteCharts_Tag>5</Configuration>");
        {
            WindowRig rig;
            TformMain &f = *rig.form;
            QTRY_COMPARE(rig.prompter.infos.size(), 1);
            QVERIFY(rig.prompter.infos.first().contains(QLatin1String("moved to the trash")));
            QCOMPARE(f.charts->pageNoteCharts->ActivePageIndex(), 0);
            QCOMPARE(f.charts->CurrentChartList, f.charts->chartLists[0]);
            QVERIFY(f.close());
        }
        QDir trash(home.path() + QStringLiteral("/data/Trash/files"));
        QCOMPARE(trash.entryList(QDir::Files).size(), 1);
        WindowRig rig; // the new file reads well: no message again
        QTest::qWait(20);
        QVERIFY(rig.prompter.infos.isEmpty());
    }
};

QTEST_MAIN(SettingsWindowTest)
#include "test_settings_window.moc"
