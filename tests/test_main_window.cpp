// The main window as the user meets it: start texts, the connection shown
// in the information panel, the game-mode views, closing, and a box that
// cannot be opened.
#include "Modules/AboutDlg.h"
#include "shell/Controls.h"
#include "tests/WindowRig.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

#include <algorithm>

using namespace zembrik;
using namespace zembrik::test;

namespace {

// Output numbers (1-based) of the visible columns, left to right.
QString columnOrder(const TformMain &f)
{
    std::vector<std::pair<int, int>> xs;
    for (int o = 0; o < MaxOutputs; ++o)
        if (f.mapPage->pnlOut[o]->isVisibleTo(f.tabMap))
            xs.emplace_back(f.mapPage->pnlOut[o]->x(), o + 1);
    std::sort(xs.begin(), xs.end());
    QStringList out;
    for (auto [x, o] : xs)
        out << QString::number(o);
    return out.join(QLatin1Char(','));
}

std::array<int, MaxOutputs> lefts(const TformMain &f)
{
    std::array<int, MaxOutputs> l{};
    for (int o = 0; o < MaxOutputs; ++o)
        l[o] = f.mapPage->pnlOut[o]->x();
    return l;
}

void chooseView(QAction *item)
{
    item->trigger(); // checks it (radio group), then the handler runs
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startTextsWithoutABox_data()
    {
        QTest::addColumn<int>("remembered");
        QTest::newRow("base model remembered") << 0;
        QTest::newRow("KQ model remembered") << 1;
    }
    void startTextsWithoutABox()
    {
        QFETCH(int, remembered);
        WindowRig rig(nullptr, remembered);
        TformMain &f = *rig.form;
        QCOMPARE(f.windowTitle(), QStringLiteral("MIDI Zembrik Setup"));
        QCOMPARE(f.lblConnected->text(), QStringLiteral(" NOT CONNECTED"));
        for (QLabel *l : {f.lblFirmware, f.lblGameMode, f.lblConsole})
            QCOMPARE(l->text(), QStringLiteral("?.?"));
        QCOMPARE(f.imgModelBase->isVisibleTo(f.window()), remembered == 0);
        QCOMPARE(f.imgModelSecond->isVisibleTo(f.window()), remembered == 1);
        QVERIFY(!f.mapPage->btnUpload->isEnabled());
        QVERIFY(!f.mapPage->btnDownload->isEnabled());
        QCOMPARE(f.pgMain->currentIndex(), 0);
        QStringList pages;
        for (int i = 0; i < f.pgMain->count(); ++i)
            pages << f.pgMain->tabText(i);
        QCOMPARE(pages, QStringList({"MIDI Note Map", "Settings", "Diagnostics", "MIDI Logging", "Drum Test"}));
        QCOMPARE(f.mapPage->lblDrumDiagram->text(), QStringLiteral("ROCK BAND DRUMS"));
        QCOMPARE(f.mapPage->lblMapStatus->text(), QStringLiteral("Map Status: "));
        QVERIFY(!f.mapPage->grpMapChange->isVisibleTo(f.window()));
        QVERIFY(f.About()->findChild<QLabel *>(QStringLiteral("labelVersion"))->text().startsWith("Version: 0."));
    }

    void connectedBoxIsShown()
    {
        const BoxConfig c = boxConfig();
        WindowRig rig(&c);
        TformMain &f = *rig.form;
        QCOMPARE(f.lblConnected->text(), QStringLiteral(" CONNECTED"));
        QCOMPARE(f.lblFirmware->text(), QStringLiteral("3.8"));
        QCOMPARE(f.lblGameMode->text(), QStringLiteral("ROCK BAND 2"));
        QCOMPARE(f.lblConsole->text(), QStringLiteral("Playstation + MIDI OUT"));
        QCOMPARE(f.StatusText(), QStringLiteral("MIDI Zembrik found"));
        QVERIFY(f.mapPage->btnUpload->isEnabled() && f.mapPage->btnDownload->isEnabled());
        QVERIFY(f.mapPage->grpMapChange->isVisibleTo(f.window()));
        QVERIFY(f.mapPage->btnCopy->isVisibleTo(f.window()));
        QVERIFY(f.menuView1->menuAction()->isVisible());
    }

    // KQi on an Xbox without MIDI OUT: Rock Band view, no View menu.
    void xboxWithoutMidiOutHidesTheViewMenu()
    {
        BoxConfig c = boxConfig(BoxConfig::Model::KQ, 1, 8, false);
        c.product = QStringLiteral("MIDI Zembrik KQi");
        WindowRig rig(&c);
        TformMain &f = *rig.form;
        QCOMPARE(f.lblConsole->text(), QStringLiteral("Xbox"));
        QVERIFY(!f.menuView1->menuAction()->isVisible());
        QVERIFY(f.imgModelSecond->isVisibleTo(f.window()));
        QCOMPARE(Tag(f.grpInfo), 1);
        QVERIFY(rig.wire().contains(QStringLiteral("18(0)")));
    }

    void guitarHeroViewWithoutABox()
    {
        WindowRig rig;
        TformMain &f = *rig.form;
        const std::array<int, MaxOutputs> design{6, 58, 110, 162, 214, 266, 318, 370};
        QCOMPARE(lefts(f), design);

        chooseView(f.miGuitarHero1);
        chooseView(f.miGuitarHero1); // a second time moves nothing
        QCOMPARE(columnOrder(f), QStringLiteral("1,2,3,6,4,5"));
        QCOMPARE(f.ViewGameMode(), 1);
        QCOMPARE(f.mapPage->lblOut[1]->text(), QStringLiteral("CYMBAL"));
        QCOMPARE(f.mapPage->shpOut[4]->BrushColor(), QColor(128, 0, 128));
        QCOMPARE(f.mapPage->shpOut[5]->BrushColor(), QColor(255, 128, 0));
        QVERIFY(f.miGuitarHero1->isChecked() && !f.miRockBand1->isChecked());
        QVERIFY(!f.mapPage->lblRockBandNote->isVisibleTo(f.window()));
        QVERIFY(f.mapPage->imgGHDrums->isVisibleTo(f.window()) && !f.mapPage->imgRBDrums->isVisibleTo(f.window()));
        QVERIFY(!f.pnlDrumsGH->isHidden() && f.pnlDrumsRB->isHidden());
        QVERIFY(!f.imgLanesGH->isHidden() && f.imgLanesRB->isHidden());
        QCOMPARE(f.mapPage->lblDrumDiagram->text(), QStringLiteral("GUITAR HERO"));
        // No box confirmed the switch.
        QVERIFY(!f.lblGameModeWarn->isHidden());
        QCOMPARE(f.lblGameMode->text(), QStringLiteral("?.?"));

        chooseView(f.miRockBand1);
        QCOMPARE(lefts(f), design);
        QCOMPARE(columnOrder(f), QStringLiteral("1,2,3,4,5,6,7,8"));
        QCOMPARE(f.mapPage->lblOut[1]->text(), QStringLiteral("PAD"));
        QCOMPARE(f.mapPage->shpOut[4]->BrushColor(), QColor(255, 128, 0));
        QCOMPARE(f.mapPage->shpOut[5]->BrushColor(), QColor(255, 255, 0));
        QVERIFY(f.lblGameModeWarn->isHidden());
        QVERIFY(f.mapPage->lblRockBandNote->isVisibleTo(f.window()));

        // The keyboard still goes output by output.
        QCOMPARE(f.mapPage->editNote[2][9]->nextInFocusChain(), f.mapPage->editNote[3][0]);
        QCOMPARE(f.mapPage->editNote[5][9]->nextInFocusChain(), f.mapPage->editNote[6][0]);
    }

    // The map tab's keyboard order: the cells output by output, the
    // "Clear" buttons, the switch note, the charts beside the grid, and the
    // map buttons last; the charts are a panel of their own, built after the
    // map page's buttons.
    void keyboardOrderOfTheMapTab()
    {
        WindowRig rig;
        TformMain &f = *rig.form;
        QStringList names;
        QWidget *first = f.mapPage->editNote[0][0];
        for (QWidget *w = first; w && f.tabMap->isAncestorOf(w); w = w->nextInFocusChain())
            if (w->focusPolicy() != Qt::NoFocus && !w->objectName().isEmpty())
                names << w->objectName();
        QStringList expected;
        for (int o = 1; o <= MaxOutputs; ++o)
            for (int s = 0; s < MaxNotesPerOutput; ++s)
                expected << QStringLiteral("editNote%1").arg(o * 10 + s);
        for (int o = 1; o <= MaxOutputs; ++o)
            expected << QStringLiteral("btnClear%1").arg(o);
        expected << "editChangeNote"
                 << "btnSetSwitchNote"
                 << "btnClearSwap"
                 << "listNotes0"
                 << "listNotes1"
                 << "listNotes2"
                 << "listNotes3"
                 << "JvHTListBox1"
                 << "listNotesTD20"
                 << "listNotes4"
                 << "btnEditNoteChart"
                 << "btnUpload"
                 << "btnRecall"
                 << "btnSave"
                 << "btnDownload";
        QCOMPARE(names, expected);
    }

    void boxThatConfirmsTheSwitch()
    {
        const BoxConfig c = boxConfig();
        WindowRig rig(&c);
        TformMain &f = *rig.form;
        rig.box->clearCommands();
        chooseView(f.miGuitarHero1);
        QCOMPARE(rig.wire(), QStringLiteral("18(1)"));
        QCOMPARE(f.lblGameMode->text(), QStringLiteral("GUITAR HERO"));
        QCOMPARE(f.DeviceGameMode(), 1);
        QVERIFY(f.lblGameModeWarn->isHidden());
        chooseView(f.miRockBand1);
        QCOMPARE(f.lblGameMode->text(), QStringLiteral("ROCK BAND 2"));
        QVERIFY(f.lblGameModeWarn->isHidden());
    }

    // The box leaves the switch unanswered: the view changes, the label and
    // the box's known mode do not, and the warning shows.
    void boxThatDoesNotAnswerTheSwitch()
    {
        const BoxConfig c = boxConfig();
        WindowRig rig(&c);
        TformMain &f = *rig.form;
        rig.box->dropRepliesTo(CMD_SET_GAME_MODE);
        chooseView(f.miGuitarHero1);
        QCOMPARE(f.lblGameMode->text(), QStringLiteral("ROCK BAND 2"));
        QCOMPARE(f.DeviceGameMode(), 0);
        QVERIFY(!f.lblGameModeWarn->isHidden());
    }

    void closingSendsEndOfSessionExitDoesNot_data()
    {
        QTest::addColumn<bool>("byExit");
        QTest::newRow("close box") << false;
        QTest::newRow("File, Exit") << true;
    }
    void closingSendsEndOfSessionExitDoesNot()
    {
        QFETCH(bool, byExit);
        const BoxConfig c = boxConfig();
        WindowRig rig(&c);
        TformMain &f = *rig.form;
        f.mapPage->editNote[0][0]->SetValueText(QStringLiteral("38")); // unsaved
        rig.prompter.answer = true;
        rig.box->clearCommands();
        if (byExit)
            f.Exit1->trigger();
        else
            f.close();
        QTest::qWait(50);
        QVERIFY(!f.isVisible());
        QCOMPARE(rig.wire(), byExit ? QString() : QStringLiteral("00"));
        QCOMPARE(rig.prompter.asked.size(), byExit ? 0 : 1);
    }

    void closeQuestionCancelledKeepsTheWindow()
    {
        const BoxConfig c = boxConfig();
        WindowRig rig(&c);
        TformMain &f = *rig.form;
        f.mapPage->editNote[0][0]->SetValueText(QStringLiteral("38"));
        rig.prompter.answer = false;
        rig.box->clearCommands();
        QVERIFY(!f.close());
        QVERIFY(f.isVisible());
        QCOMPARE(rig.prompter.asked,
                 QStringList({"Map has not been saved on Midi Zembrik, are you sure you want to exit?"}));
        QTest::qWait(30);
        QCOMPARE(rig.wire(), QString());
    }

    void removalWarningComesBeforeTheNewGreeting()
    {
        const BoxConfig c = boxConfig();
        WindowRig rig(&c);
        TformMain &f = *rig.form;
        const int mouse = rig.bus.plugOther(0x046D, 0xC077, QStringLiteral("Mouse"));
        QVERIFY(LinkHarness::waitFor([&] { return f.HIDController().Count() == 2; }));
        f.mapPage->editNote[0][0]->SetValueText(QStringLiteral("38"));
        rig.box->clearCommands();
        rig.bus.unplug(mouse);
        QVERIFY(LinkHarness::waitFor([&] { return rig.box->commands().size() >= 8; }));
        QCOMPARE(rig.prompter.infos, QStringList({"MIDI Zembrik removed without saving map!"}));
        QVERIFY(f.Connected());
    }

    // A box whose node the user may not open: node, cause and fix, once.
    void boxThatCannotBeOpened()
    {
        WindowRig rig;
        TformMain &f = *rig.form;
        rig.bus.plugInaccessibleBox(0x12BA, 0x0210);
        QVERIFY(LinkHarness::waitFor([&] { return !rig.prompter.errors.isEmpty(); }));
        const QString message = rig.prompter.errors.first();
        QVERIFY2(message.contains(QStringLiteral("Permission denied")), qPrintable(message));
        QVERIFY(message.contains(QStringLiteral("/dev/hidraw")));
        QVERIFY(message.contains(QStringLiteral("70-midizembrik.rules")));
        QVERIFY(message.contains(QStringLiteral("udevadm")));
        QVERIFY(f.StatusText().contains(QStringLiteral("Permission denied")));
        QCOMPARE(f.lblConnected->text(), QStringLiteral(" NOT CONNECTED"));
        // Another device change does not repeat the dialog.
        const int mouse = rig.bus.plugOther(0x046D, 0xC077, QStringLiteral("Mouse"));
        rig.bus.unplug(mouse);
        QTest::qWait(100);
        QCOMPARE(rig.prompter.errors.size(), 1);
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
