// Beyond the designed form, in the window against the emulated box: MIDI
// learn on the wire, undo and redo of each kind of map step, and the
// automatic backups of the maps.
#include "maps/BackupMenu.h"
#include "maps/LearnControl.h"
#include "maps/MapPage.h"
#include "maps/MapUndo.h"
#include "tests/WindowRig.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QUndoStack>

#include <functional>

using namespace zembrik;
using namespace zembrik::test;

using Step = std::function<void(TformMain &, WindowRig &)>;
Q_DECLARE_METATYPE(Step)

namespace {

// Note ON 38 with velocity v, as the box logs a hit.
std::vector<std::pair<quint8, quint8>> hit(quint8 note, quint8 velocity)
{
    return {{0x01, note}, {0x02, velocity}};
}

// The 0x0B commands the box received, as "1 0".
QString logCommands(const VirtualBox &box)
{
    QStringList args;
    for (const ReceivedCommand &c : box.commands())
        if (c.code == CMD_SET_MIDI_LOG)
            args << QString::number(c.arg1);
    return args.join(QLatin1Char(' '));
}

struct ExtrasRig : WindowRig {
    explicit ExtrasRig(const BoxConfig &c = boxConfig()) : WindowRig(&c) {}
    TformMain &f() { return *form; }
    QPushButton *learn() { return form->learnControl->btnLearn; }
    TNoteCell *cell(int o, int s) { return form->mapPage->editNote[o][s]; }
    bool focusCell(int o, int s)
    {
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form.get()))
            return false;
        cell(o, s)->setFocus();
        return QApplication::focusWidget() == cell(o, s);
    }
};

} // namespace

class MapExtrasWindowTest : public QObject {
    Q_OBJECT
private slots:
    void learnPutsTheHitIntoTheFocusedCell()
    {
        ExtrasRig rig;
        TformMain &f = rig.f();
        QVERIFY(rig.learn()->isEnabled());
        QVERIFY(rig.focusCell(1, 0));
        rig.box->clearCommands();
        rig.learn()->click();
        QCOMPARE(logCommands(*rig.box), QStringLiteral("1"));
        QVERIFY(f.StatusText().contains(QStringLiteral("output 2, note 1")));

        rig.box->feedMidi(hit(38, 0)); // a note-off: nothing
        QTest::qWait(50);
        QCOMPARE(rig.cell(1, 0)->text(), QString());
        rig.box->feedMidi(hit(38, 97));
        QVERIFY(LinkHarness::waitFor([&] { return rig.cell(1, 0)->text() == QLatin1String("38"); }));
        QCOMPARE(f.Editor().NoteMaps.At(0, 1, 0), 38);
        QCOMPARE(f.MapStatus(), quint8(msModified));
        QCOMPARE(QApplication::focusWidget(), rig.cell(1, 1)); // moved on as Enter moves
        QVERIFY(f.StatusText().contains(QStringLiteral("output 2, note 2")));
        QVERIFY(rig.learn()->isChecked()); // ready for the next cell

        rig.learn()->click();
        QCOMPARE(logCommands(*rig.box), QStringLiteral("1 0"));
        rig.box->feedMidi(hit(40, 90)); // logging is off: nothing arrives
        QTest::qWait(50);
        QCOMPARE(rig.cell(1, 1)->text(), QString());
    }

    void learnWithoutAFocusedCellAsksForOne()
    {
        ExtrasRig rig;
        TformMain &f = rig.f();
        rig.learn()->click();
        QVERIFY(f.StatusText().contains(QStringLiteral("click the note cell")));
        rig.box->feedMidi(hit(38, 97));
        QTest::qWait(50);
        QCOMPARE(f.Editor().NoteMaps.At(0, 0, 0), NoNote);
        rig.learn()->click();
    }

    // Every way out of learning switches the box's logging off once.
    void learnEnds_data()
    {
        QTest::addColumn<Step>("leave");
        QTest::newRow("unchecked") << Step([](TformMain &f, WindowRig &) { f.learnControl->btnLearn->click(); });
        QTest::newRow("another page") << Step([](TformMain &f, WindowRig &) { f.pgMain->setCurrentWidget(f.tabTest); });
        QTest::newRow("a transfer") << Step([](TformMain &f, WindowRig &) { f.btnDownloadClick(); });
        QTest::newRow("window closed") << Step([](TformMain &f, WindowRig &) { f.close(); });
    }
    void learnEnds()
    {
        QFETCH(Step, leave);
        ExtrasRig rig;
        rig.learn()->click();
        rig.box->clearCommands();
        leave(rig.f(), rig);
        QVERIFY(LinkHarness::waitFor([&] { return !logCommands(*rig.box).isEmpty(); }));
        QTest::qWait(50);
        QCOMPARE(logCommands(*rig.box), QStringLiteral("0"));
        QVERIFY(!rig.learn()->isChecked());
    }

    void learnEndsWhenTheBoxGoes()
    {
        ExtrasRig rig;
        rig.learn()->click();
        rig.bus.unplug(rig.boxId);
        QVERIFY(LinkHarness::waitFor([&] { return !rig.f().Connected(); }));
        QVERIFY(!rig.learn()->isChecked());
        QVERIFY(!rig.learn()->isEnabled());
    }

    // Without learning the box never hears of logging, and boxes that cannot
    // log offer no learning.
    void learnNeedsTheLog()
    {
        ExtrasRig rig;
        rig.f().mapPage->SetCell(rig.cell(0, 0), 36);
        rig.f().btnDownloadClick();
        QCOMPARE(logCommands(*rig.box), QString());
        const BoxConfig old = boxConfig(BoxConfig::Model::Base, 2, 2);
        ExtrasRig oldRig(old);
        QVERIFY(!oldRig.learn()->isEnabled());
    }

    // Each kind of step: the cells, NoteMaps, the shown map and the status
    // after undo are as before the step, and after redo as after it.
    void undoRedo_data()
    {
        QTest::addColumn<Step>("step");
        QTest::addColumn<QString>("undoText");
        QTest::newRow("typed") << Step([](TformMain &f, WindowRig &) {
            f.mapPage->editNote[2][1]->setText(QStringLiteral("45"));
            f.mapPage->editNote[2][1]->SetValueText(QStringLiteral("45"));
        }) << QStringLiteral("Undo Enter Note");
        QTest::newRow("row clear") << Step([](TformMain &f, WindowRig &) { f.mapPage->btnClear[0]->click(); })
                                   << QStringLiteral("Undo Clear Output 1");
        QTest::newRow("clone") << Step([](TformMain &f, WindowRig &) { f.mapPage->btnCopy->click(); })
                               << QStringLiteral("Undo Clone");
        QTest::newRow("recall") << Step([](TformMain &f, WindowRig &rig) {
            TNoteMaps maps;
            maps.Set(1, 4, 0, 50);
            QVERIFY(SaveMapFile(rig.prompter.file, maps, f.Layout()).ok);
            f.btnRecallClick();
        }) << QStringLiteral("Undo Get Map from File");
        QTest::newRow("get") << Step([](TformMain &f, WindowRig &) { f.btnGetMapClick(); })
                             << QStringLiteral("Undo Get Map from MIDI Zembrik");
    }
    void undoRedo()
    {
        QFETCH(Step, step);
        QFETCH(QString, undoText);
        ExtrasRig rig;
        TformMain &f = rig.f();
        QTemporaryDir dir;
        rig.prompter.file = dir.filePath(QStringLiteral("recall.MAP"));
        rig.box->withFirmware([](ZembrikFirmware &fw) {
            fw.setMapEntry(0, 3, 0, 60);
            return 0;
        });
        // Map 1 shows 36 and a gap before 40; map 2 holds 50.
        f.Editor().NoteMaps.Set(1, 1, 0, 50);
        f.mapPage->SetCell(rig.cell(0, 0), 36);
        f.mapPage->SetCell(rig.cell(0, 2), 40);
        f.SetMapStatus(msRecalledFromBox);
        f.mapUndo->Stack().clear();
        auto grid = [&] {
            QStringList cells;
            for (int o = 0; o < MaxOutputs; ++o)
                for (int s = 0; s < MaxNotesPerOutput; ++s)
                    cells << rig.cell(o, s)->text();
            return cells;
        };
        const TEditorState before = f.Editor().State();
        const QStringList gridBefore = grid();
        step(f, rig);
        const TEditorState after = f.Editor().State();
        const QStringList gridAfter = grid();
        QVERIFY(after != before);
        QVERIFY(f.mapUndo->UndoAction->isEnabled());
        QCOMPARE(f.mapUndo->UndoAction->text(), undoText);

        f.mapUndo->UndoAction->trigger();
        QVERIFY(f.Editor().State() == before);
        QCOMPARE(grid(), gridBefore);
        QCOMPARE(f.mapPage->tabMaps->currentIndex(), before.currentMap);
        QCOMPARE(f.MapStatus(), before.status);
        f.mapUndo->RedoAction->trigger();
        QVERIFY(f.Editor().State() == after);
        QCOMPARE(grid(), gridAfter);
        QCOMPARE(f.mapPage->tabMaps->currentIndex(), after.currentMap);
    }

    // In a cell with nothing pending, Ctrl+Z is the map's undo; with typed
    // text pending it is the cell's own.
    void undoKeysInACell()
    {
        ExtrasRig rig;
        TformMain &f = rig.f();
        QVERIFY(rig.focusCell(0, 0));
        QTest::keyClicks(rig.cell(0, 0), QStringLiteral("38"));
        QTest::keyClick(rig.cell(0, 0), Qt::Key_Return); // takes effect, focus moves on
        QCOMPARE(f.Editor().NoteMaps.At(0, 0, 0), 38);
        QTest::keyClicks(rig.cell(0, 1), QStringLiteral("4"));
        QTest::keyClick(rig.cell(0, 1), Qt::Key_Z, Qt::ControlModifier); // the cell's own undo
        QCOMPARE(rig.cell(0, 1)->text(), QString());
        QCOMPARE(f.Editor().NoteMaps.At(0, 0, 0), 38);
        QTest::keyClick(rig.cell(0, 1), Qt::Key_Z, Qt::ControlModifier); // now the map's
        QCOMPARE(f.Editor().NoteMaps.At(0, 0, 0), NoNote);
        QTest::keyClick(rig.cell(0, 1), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(f.Editor().NoteMaps.At(0, 0, 0), 38);
    }

    void backupsOfGetAndStore()
    {
        ExtrasRig rig;
        TformMain &f = rig.f();
        TMapBackups &backups = f.backupMenu->Backups();
        QVERIFY(backups.Folder().startsWith(SettingsHome::current()->path())); // never the user's own
        rig.box->withFirmware([](ZembrikFirmware &fw) {
            fw.setMapEntry(1, 2, 0, 42);
            return 0;
        });
        f.btnGetMapClick();
        f.mapPage->SetCell(rig.cell(5, 0), 51);
        f.btnDownloadClick();
        const QList<TMapBackup> list = backups.Newest();
        QCOMPARE(list.size(), 2);
        QCOMPARE(list[0].direction, TBackupDirection::ToBox);
        QCOMPARE(list[1].direction, TBackupDirection::FromBox);
        TNoteMaps fromBox, toBox;
        QVERIFY(LoadMapFile(list[1].path, fromBox, f.Layout()).ok);
        QVERIFY(LoadMapFile(list[0].path, toBox, f.Layout()).ok);
        QCOMPARE(fromBox.At(1, 2, 0), 42);
        QCOMPARE(toBox.At(0, 5, 0), 51);
        QCOMPARE(toBox, f.Editor().NoteMaps);

        // The menu lists them; choosing one recalls it as a map file.
        emit f.backupMenu->RecentMenu->aboutToShow();
        QCOMPARE(f.backupMenu->RecentMenu->actions().size(), 2);
        QCOMPARE(f.backupMenu->RecentMenu->actions()[0]->text(), list[0].Caption());
        f.mapPage->SetCell(rig.cell(5, 0), 52); // modified: the recall asks first
        f.backupMenu->RecentMenu->actions()[1]->trigger();
        QCOMPARE(rig.prompter.asked.size(), 1);
        QCOMPARE(f.Editor().NoteMaps.At(0, 5, 0), NoNote);
        QCOMPARE(f.MapStatus(), quint8(msRecalledFromFile));
        QCOMPARE(f.windowTitle(), kApplicationTitle + QStringLiteral(" - ") + list[1].path);
    }

    void unwritableBackupsDoNotBreakTheTransfer()
    {
        ExtrasRig rig;
        TformMain &f = rig.f();
        QDir().mkpath(QFileInfo(f.backupMenu->Backups().Folder()).path());
        QFile blocker(f.backupMenu->Backups().Folder()); // a file where the folder should be
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        f.btnDownloadClick();
        QCOMPARE(rig.prompter.errors, QStringList());
        QVERIFY(f.MapStatus() & msSavedToBox);
        QVERIFY(f.StatusText().startsWith(QStringLiteral("The backup of the maps could not be written")));
    }
};

QTEST_MAIN(MapExtrasWindowTest)
#include "test_map_extras_window.moc"
