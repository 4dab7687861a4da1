// The note map editor in the window, and the transfers of the maps to and
// from an emulated box: what the user types, what the grid shows, what
// NoteMaps holds, and what goes over the wire.
#include "tests/TestFiles.h"
#include "tests/WindowRig.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

using namespace zembrik;
using namespace zembrik::test;

namespace {

bool isRed(const TNoteCell *c)
{
    return c->palette().color(QPalette::Text) == QColor(Qt::red);
}

// Types into a cell and leaves it, as the user does.
void typeInto(TformMain &f, TNoteCell *cell, const QString &text)
{
    cell->setFocus();
    cell->selectAll();
    QTest::keyClicks(cell, text);
    f.mapPage->btnCopy->setFocus();
}

int boxEntry(VirtualBox &box, int map, int o, int s)
{
    return box.withFirmware([&](ZembrikFirmware &fw) { return fw.mapEntry(map, o, s); });
}

int count(const std::vector<ReceivedCommand> &commands, quint8 code)
{
    return static_cast<int>(
        std::count_if(commands.begin(), commands.end(), [code](const ReceivedCommand &c) { return c.code == code; }));
}

} // namespace

class MapEditorTest : public QObject {
    Q_OBJECT
private slots:
    void typingClampsAndRecords()
    {
        WindowRig rig;
        TformMain &f = *rig.form;
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        TNoteCell *cell = f.mapPage->editNote[2][4];
        typeInto(f, cell, QStringLiteral("200"));
        QCOMPARE(cell->text(), QStringLiteral("127"));
        QCOMPARE(f.Editor().NoteMaps.At(0, 2, 4), 127);
        QCOMPARE(f.MapStatus(), quint8(msModified));
        QCOMPARE(f.mapPage->lblMapStatus->text(), QStringLiteral("Map Status: [Modified]"));

        // Letters cannot be typed; more than three digits neither.
        typeInto(f, cell, QStringLiteral("4x5y"));
        QCOMPARE(cell->text(), QStringLiteral("45"));
        typeInto(f, cell, QStringLiteral("1234"));
        QCOMPARE(cell->text(), QStringLiteral("123"));
        // Escape puts back the value in effect; nothing is recorded.
        cell->setFocus();
        cell->selectAll();
        QTest::keyClicks(cell, QStringLiteral("9"));
        QTest::keyClick(cell, Qt::Key_Escape);
        QCOMPARE(cell->text(), QStringLiteral("123"));
        // Emptying a cell stores NoNote.
        cell->setFocus();
        cell->selectAll();
        QTest::keyClick(cell, Qt::Key_Backspace);
        f.mapPage->btnCopy->setFocus();
        QCOMPARE(cell->text(), QString());
        QCOMPARE(f.Editor().NoteMaps.At(0, 2, 4), NoNote);
    }

    void duplicatesOfTheShownMapOnly()
    {
        WindowRig rig;
        TformMain &f = *rig.form;
        f.mapPage->editNote[0][0]->SetValueText(QStringLiteral("38"));
        f.mapPage->editNote[4][9]->SetValueText(QStringLiteral("38"));
        QVERIFY(isRed(f.mapPage->editNote[0][0]) && isRed(f.mapPage->editNote[4][9]));
        QVERIFY(!isRed(f.mapPage->editNote[1][0]));
        f.mapPage->editNote[4][9]->SetValueText(QStringLiteral("40"));
        QVERIFY(!isRed(f.mapPage->editNote[0][0]) && !isRed(f.mapPage->editNote[4][9]));

        // Map 2 holds its own duplicate; Map 1's cells are not marked for it.
        f.Editor().NoteMaps.Set(1, 3, 3, 50);
        f.Editor().NoteMaps.Set(1, 6, 1, 50);
        f.Editor().MarkDuplicates(0);
        QVERIFY(!isRed(f.mapPage->editNote[3][3]));
        f.mapPage->tabMaps->setCurrentIndex(1); // the user picks "Map 2"
        QCOMPARE(f.CurrentMap(), 1);
        QVERIFY(isRed(f.mapPage->editNote[3][3]) && isRed(f.mapPage->editNote[6][1]));
        QVERIFY(!isRed(f.mapPage->editNote[0][0]));
        // Map 1 was stored into the table on the way.
        QCOMPARE(f.Editor().NoteMaps.At(0, 0, 0), 38);
    }

    // The grid follows the compaction; its rules are the engine's.
    void compaction()
    {
        WindowRig rig;
        TformMain &f = *rig.form;
        f.SetMapStatus(msUpdating);
        f.mapPage->SetCell(f.mapPage->editNote[1][2], 40);
        f.mapPage->SetCell(f.mapPage->editNote[1][5], 41);
        f.mapPage->SetCell(f.mapPage->editNote[1][9], 42);
        f.SetMapStatus(msRecalledFromBox);
        f.Editor().CompactMap();
        QStringList row;
        for (int s = 0; s < MaxNotesPerOutput; ++s)
            row << f.mapPage->editNote[1][s]->text();
        QCOMPARE(row, QStringList({"40", "41", "42", "", "", "", "", "", "", ""}));
        QCOMPARE(f.Editor().NoteMaps.At(0, 1, 0), 40);
        QCOMPARE(f.Editor().NoteMaps.At(0, 1, 9), NoNote);
        QCOMPARE(f.mapPage->lblMapStatus->text(), QStringLiteral("Map Status: [Modified]"));
    }

    // What the engine changes reaches the widgets, and the widgets do not
    // hand it back as an edit.
    void gridFollowsTheEngine()
    {
        WindowRig rig;
        TformMain &f = *rig.form;
        TMapEditor &e = f.Editor();
        QSignalSpy edits(f.mapPage->editNote[3][3], &TNoteCell::ValueChanged);
        e.SetMapStatus(msRecalledFromBox);
        QCOMPARE(f.mapPage->lblMapStatus->text(), QStringLiteral("Map Status: [Recalled from Midi Zembrik]"));
        e.NoteMaps.Set(1, 3, 3, 200);
        e.NoteMaps.Set(1, 5, 0, 200);
        e.SelectMap(1);
        QCOMPARE(f.mapPage->tabMaps->currentIndex(), 1);
        QCOMPARE(f.mapPage->editNote[3][3]->text(), QStringLiteral("127"));
        QCOMPARE(f.mapPage->editNote[3][3]->ValueText(), QStringLiteral("127"));
        QVERIFY(isRed(f.mapPage->editNote[3][3]) && isRed(f.mapPage->editNote[5][0]));
        QCOMPARE(f.mapPage->btnCopy->toolTip(), QStringLiteral("Copy data from Map 1 into Map 2"));
        QCOMPARE(edits.count(), 0);
        QCOMPARE(e.NoteMaps.At(1, 3, 3), 200);
        QCOMPARE(f.mapPage->lblMapStatus->text(), QStringLiteral("Map Status: [Recalled from Midi Zembrik]"));

        e.SelectMap(0);
        QCOMPARE(f.mapPage->tabMaps->currentIndex(), 0);
        QCOMPARE(f.mapPage->editNote[3][3]->text(), QString());
        QVERIFY(!isRed(f.mapPage->editNote[3][3]));
        QCOMPARE(f.mapPage->btnCopy->toolTip(), QStringLiteral("Copy data from Map 2 into Map 1."));

        e.SetMapGeometry(6, 8);
        QVERIFY(!f.mapPage->editNote[5][7]->isHidden());
        QVERIFY(f.mapPage->editNote[5][8]->isHidden() && f.mapPage->editNote[6][0]->isHidden());
        QVERIFY(!f.mapPage->btnClear[7]->isHidden());
        e.SetMapGeometry(20, 10);
        QVERIFY(!f.mapPage->editNote[7][9]->isHidden());
        QVERIFY(f.StatusText().contains(QStringLiteral("20 outputs")));
        QCOMPARE(edits.count(), 0);
        QCOMPARE(e.MapStatus(), quint8(msRecalledFromBox));
    }

    void cloneAndRowClear()
    {
        WindowRig rig;
        TformMain &f = *rig.form;
        f.Editor().NoteMaps.Set(1, 0, 0, 36);
        f.Editor().NoteMaps.Set(1, 7, 9, 49);
        f.mapPage->editNote[2][2]->SetValueText(QStringLiteral("70"));
        f.SetMapGeometry(8, 9); // slot 9 lies outside the geometry

        f.SetMapCount(1);
        f.SetMapStatus(0);
        f.mapPage->btnCopy->click();
        QCOMPARE(f.mapPage->editNote[2][2]->text(), QStringLiteral("70"));
        QCOMPARE(f.MapStatus(), quint8(0));

        f.SetMapCount(2);
        f.mapPage->btnCopy->click();
        QCOMPARE(f.mapPage->editNote[0][0]->text(), QStringLiteral("36"));
        QCOMPARE(f.mapPage->editNote[2][2]->text(), QString());
        QCOMPARE(f.mapPage->editNote[7][9]->text(), QString());
        QCOMPARE(f.Editor().NoteMaps.At(0, 0, 0), 36);
        QCOMPARE(f.MapStatus(), quint8(msModified));

        f.SetMapStatus(0);
        f.mapPage->btnClear[0]->click();
        QCOMPARE(f.mapPage->editNote[0][0]->text(), QString());
        QCOMPARE(f.Editor().NoteMaps.At(0, 0, 0), NoNote);
        QCOMPARE(f.MapStatus(), quint8(msModified));
    }

    void mapCountTabs()
    {
        WindowRig rig;
        TformMain &f = *rig.form;
        f.SetMapCount(1);
        QCOMPARE(f.mapPage->tabMaps->count(), 1);
        f.SetMapCount(2);
        QCOMPARE(f.mapPage->tabMaps->tabText(0), QStringLiteral("Map 1"));
        QCOMPARE(f.mapPage->tabMaps->tabText(1), QStringLiteral("Tab 2"));
        // More than the table holds is held to it, with a word why.
        f.SetMapCount(5);
        QCOMPARE(f.Editor().MapCount(), 2);
        QVERIFY(f.StatusText().contains(QStringLiteral("5 maps")));
        f.SetMapGeometry(12, 16);
        QCOMPARE(f.Editor().OutputCount(), 8);
        QCOMPARE(f.Editor().NotesPerOutput(), 10);
    }

    void switchNote()
    {
        const BoxConfig c = boxConfig();
        WindowRig rig(&c);
        TformMain &f = *rig.form;
        rig.box->clearCommands();
        f.mapPage->editChangeNote->setText(QStringLiteral("300"));
        QVERIFY(f.mapPage->btnSetSwitchNote->isEnabled());
        f.mapPage->btnSetSwitchNote->click();
        QCOMPARE(f.mapPage->editChangeNote->text(), QStringLiteral("127"));
        QVERIFY(!f.mapPage->btnSetSwitchNote->isEnabled());
        QVERIFY(f.mapPage->btnClearSwap->isEnabled());
        f.mapPage->btnClearSwap->click();
        QCOMPARE(f.mapPage->editChangeNote->text(), QString());
        QVERIFY(!f.mapPage->btnClearSwap->isEnabled());
        QCOMPARE(rig.wire(), QStringLiteral("14(127) 14(255)"));
        QCOMPARE(rig.box->withFirmware([](ZembrikFirmware &fw) { return fw.switchNote(); }), 255);
    }

    void closeQuestions_data()
    {
        QTest::addColumn<bool>("connected");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("question");
        const QString onBox = QStringLiteral("Map has not been saved on Midi Zembrik, are you sure you want to exit?");
        const QString plain = QStringLiteral("Map has not been saved, are you sure you want to exit?");
        QTest::newRow("connected, saved in file") << true << int(msSavedInFile) << onBox;
        QTest::newRow("connected, saved to box") << true << int(msSavedToBox | msModified) << QString();
        QTest::newRow("connected, unchanged") << true << 0 << QString();
        QTest::newRow("not connected, modified") << false << int(msModified) << plain;
        QTest::newRow("not connected, recalled from file") << false << int(msRecalledFromFile) << QString();
    }
    void closeQuestions()
    {
        QFETCH(bool, connected);
        QFETCH(int, status);
        QFETCH(QString, question);
        const BoxConfig c = boxConfig();
        WindowRig rig(connected ? &c : nullptr);
        TformMain &f = *rig.form;
        f.SetMapStatus(quint8(status));
        rig.prompter.answer = false;
        const bool closed = f.close();
        QCOMPARE(rig.prompter.asked, question.isEmpty() ? QStringList() : QStringList{question});
        QCOMPARE(closed, question.isEmpty());
    }

    // A value above 127 from the box shows as 127; the slot keeps it.
    void boxValueAbove127()
    {
        const BoxConfig c = boxConfig();
        WindowRig rig(&c);
        TformMain &f = *rig.form;
        rig.box->withFirmware([](ZembrikFirmware &fw) {
            fw.setMapEntry(0, 0, 0, 200);
            return 0;
        });
        f.mapPage->btnUpload->click();
        QCOMPARE(f.mapPage->editNote[0][0]->text(), QStringLiteral("127"));
        QCOMPARE(f.Editor().NoteMaps.At(0, 0, 0), 200);
        QCOMPARE(f.MapStatus(), quint8(msRecalledFromBox));
        QCOMPARE(f.mapPage->lblMapStatus->text(), QStringLiteral("Map Status: [Recalled from Midi Zembrik]"));
    }

    void getMapAsksOverChanges()
    {
        const BoxConfig c = boxConfig();
        WindowRig rig(&c);
        TformMain &f = *rig.form;
        f.mapPage->editNote[0][0]->SetValueText(QStringLiteral("38"));
        rig.prompter.answer = false;
        rig.box->clearCommands();
        f.mapPage->btnUpload->click();
        QCOMPARE(rig.prompter.asked, QStringList({"Recalling a note map will overwrite the changes you've made.\r\n"
                                                  "Are you sure you want to do this?"}));
        QCOMPARE(rig.wire(), QString());
        QCOMPARE(f.mapPage->editNote[0][0]->text(), QStringLiteral("38"));
        QCOMPARE(f.MapStatus(), quint8(msModified));
    }

    void storeThenTheBoxHoldsTheProgramsMaps()
    {
        const BoxConfig c = boxConfig();
        WindowRig rig(&c);
        TformMain &f = *rig.form;
        f.Editor().NoteMaps.Set(1, 2, 3, 77); // map 2, sent as it is
        f.mapPage->editNote[0][4]->SetValueText(QStringLiteral("36"));
        f.mapPage->editNote[0][7]->SetValueText(QStringLiteral("38"));
        rig.box->clearCommands();
        f.mapPage->btnDownload->click();

        QCOMPARE(boxEntry(*rig.box, 0, 0, 0), 36); // compacted
        QCOMPARE(boxEntry(*rig.box, 0, 0, 1), 38);
        QCOMPARE(boxEntry(*rig.box, 0, 0, 4), NoNote);
        QCOMPARE(boxEntry(*rig.box, 1, 2, 3), 77);
        for (int m = 0; m < 2; ++m)
            for (int o = 0; o < MaxOutputs; ++o)
                for (int s = 0; s < MaxNotesPerOutput; ++s)
                    QCOMPARE(boxEntry(*rig.box, m, o, s), f.Editor().NoteMaps.At(m, o, s));
        const auto sent = rig.box->commands();
        QCOMPARE(count(sent, CMD_SET_MAP_ENTRY), 160);
        QVERIFY(rig.wire().startsWith(QStringLiteral("12(0) 04")));
        QVERIFY(rig.wire().endsWith(QStringLiteral("04 12(0)")));
        QCOMPARE(f.MapStatus(), quint8(msSavedToBox));
        QCOMPARE(f.StatusText(), QStringLiteral("Transfer complete"));
        QVERIFY(f.pgMain->isEnabled());
        QVERIFY(f.Recall1->isEnabled() && f.miGuitarHero1->isEnabled());
    }

    void geometryAndSingleMapBox_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("outputs");
        QTest::addColumn<int>("notes");
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("selects");
        QTest::newRow("6 x 8, two maps") << 3 << 8 << 6 << 8 << 96 << 2 + 1;
        QTest::newRow("one map, no multi-map firmware") << 2 << 9 << 8 << 10 << 80 << 0;
    }
    void geometryAndSingleMapBox()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, outputs);
        QFETCH(int, notes);
        QFETCH(int, entries);
        QFETCH(int, selects);
        BoxConfig c = boxConfig(BoxConfig::Model::Base, major, minor);
        c.outputs = outputs;
        c.notesPerOutput = notes;
        WindowRig rig(&c);
        TformMain &f = *rig.form;
        QCOMPARE(f.Editor().OutputCount(), outputs);
        QCOMPARE(f.Editor().NotesPerOutput(), notes);
        QVERIFY(!f.mapPage->editNote[outputs - 1][notes - 1]->isHidden());
        if (outputs < MaxOutputs)
            QVERIFY(f.mapPage->editNote[outputs][0]->isHidden());
        rig.box->clearCommands();
        f.mapPage->btnUpload->click();
        QCOMPARE(count(rig.box->commands(), CMD_GET_MAP_ENTRY), entries);
        QCOMPARE(count(rig.box->commands(), CMD_SELECT_MAP), selects);
        rig.box->clearCommands();
        f.mapPage->btnDownload->click();
        QCOMPARE(count(rig.box->commands(), CMD_SET_MAP_ENTRY), entries);
        for (const ReceivedCommand &cmd : rig.box->commands())
            if (cmd.code == CMD_SET_MAP_ENTRY)
                QVERIFY(cmd.arg1 < outputs && cmd.arg2 < notes);
    }

    void writeWithoutReply()
    {
        const BoxConfig c = boxConfig();
        WindowRig rig(&c);
        TformMain &f = *rig.form;
        f.mapPage->editNote[0][0]->SetValueText(QStringLiteral("38"));
        rig.box->clearCommands();
        rig.box->dropRepliesTo(CMD_SET_MAP_ENTRY);
        QVERIFY_THROWS_EXCEPTION(ETransferError, f.btnDownloadClick());
        QCOMPARE(rig.wire(), QStringLiteral("12(0) 04"));
        QCOMPARE(f.StatusText(), QStringLiteral("ERROR transferring map entry to MIDI Zembrik"));
        QCOMPARE(f.mapPage->lblMapStatus->text(), QStringLiteral("Map Status: [Modified]"));
        QVERIFY(f.pgMain->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
    }

    // While a transfer waits for the box, nothing may change the maps.
    void actionsAreHeldDuringATransfer()
    {
        BoxConfig c = boxConfig();
        WindowRig rig(&c);
        TformMain &f = *rig.form;
        rig.box->setReplyLatencyMs(2);
        bool checked = false;
        QTimer::singleShot(40, &f, [&] {
            QVERIFY(f.TransferRunning());
            QVERIFY(!f.pgMain->isEnabled());
            for (QAction *a : {f.Recall1, f.Save1, f.Exit1, f.miRockBand1, f.miGuitarHero1})
                QVERIFY(!a->isEnabled());
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            QVERIFY(f.StatusText().startsWith(QStringLiteral("Transferring map 1 from MIDI Zembrik...")));
            QVERIFY(!f.close()); // refused with a message
            checked = true;
        });
        f.mapPage->btnUpload->click();
        QVERIFY(checked);
        QCOMPARE(rig.prompter.infos.size(), 1);
        QVERIFY(f.isVisible());
        QVERIFY(f.pgMain->isEnabled() && f.Exit1->isEnabled());
    }

    // The box goes away in the middle of a store: the transfer ends with
    // its error, and the removal is handled after it.
    void unplugDuringATransfer()
    {
        const BoxConfig c = boxConfig();
        WindowRig rig(&c);
        TformMain &f = *rig.form;
        rig.box->setReplyLatencyMs(2);
        QTimer::singleShot(30, &f, [&] { rig.bus.unplug(rig.boxId); });
        QVERIFY_THROWS_EXCEPTION(ETransferError, f.btnDownloadClick());
        QVERIFY(LinkHarness::waitFor([&] { return !f.Connected() && !f.mapPage->btnUpload->isEnabled(); }));
        QCOMPARE(f.lblConnected->text(), QStringLiteral(" NOT CONNECTED"));
        QVERIFY(f.pgMain->isEnabled());
    }

    // Save compacts the shown map and names the file in the caption;
    // recalling over changes asks first, before the dialog.
    void saveAndRecall()
    {
        QTemporaryDir dir;
        WindowRig rig;
        TformMain &f = *rig.form;
        f.mapPage->editNote[0][3]->SetValueText(QStringLiteral("36"));
        f.Editor().NoteMaps.Set(1, 7, 9, 49);
        rig.prompter.file = dir.filePath(QStringLiteral("kit.MAP"));
        f.Save1->trigger();
        QCOMPARE(rig.prompter.dialogs, QStringList({"save MIDI Zembrik Map|*.MAP .MAP"}));
        QCOMPARE(f.mapPage->editNote[0][0]->text(), QStringLiteral("36"));
        QCOMPARE(f.windowTitle(), QStringLiteral("MIDI Zembrik Setup - ") + rig.prompter.file);
        QCOMPARE(f.mapPage->lblMapStatus->text(), QStringLiteral("Map Status: [Saved in File]"));

        f.mapPage->btnClear[0]->click(); // now modified
        rig.prompter.dialogs.clear();
        rig.prompter.answer = false;
        f.mapPage->btnRecall->click();
        QCOMPARE(rig.prompter.asked.size(), 1);
        QVERIFY(rig.prompter.dialogs.isEmpty()); // No: no dialog, nothing changed
        QCOMPARE(f.mapPage->editNote[0][0]->text(), QString());

        rig.prompter.answer = true;
        f.Recall1->trigger();
        QCOMPARE(rig.prompter.dialogs, QStringList({"open MIDI Zembrik Map|*.map;*.MAP .MAP"}));
        QCOMPARE(f.mapPage->editNote[0][0]->text(), QStringLiteral("36"));
        QCOMPARE(f.Editor().NoteMaps.At(1, 7, 9), 49);
        QCOMPARE(f.MapStatus(), quint8(msRecalledFromFile));

        // A store on the box afterwards drops the file name again.
        const BoxConfig c = boxConfig();
        VirtualBox box(c);
        rig.bus.plugBox(&box);
        QVERIFY(LinkHarness::waitFor([&] { return f.mapPage->btnUpload->isEnabled(); }));
        f.mapPage->btnUpload->click();
        QCOMPARE(f.windowTitle(), QStringLiteral("MIDI Zembrik Setup"));
        rig.form.reset();
    }

    // A save that cannot be written (here: the disk is full) leaves the old
    // file as it was and does not claim "[Saved in File]".
    void failedSaveKeepsTheOldFile()
    {
        SmallDisk disk;
        if (!disk.mounted())
            QSKIP("needs root to mount a small tmpfs");
        WindowRig rig;
        TformMain &f = *rig.form;
        const QString path = disk.filePath(QStringLiteral("old.MAP"));
        writeAll(path, "old contents");
        disk.fill();
        f.mapPage->editNote[0][0]->SetValueText(QStringLiteral("36"));
        rig.prompter.file = path;
        f.mapPage->btnSave->click();
        QCOMPARE(readAll(path), QByteArray("old contents"));
        QCOMPARE(rig.prompter.errors.size(), 1);
        QVERIFY(rig.prompter.errors.first().contains(path));
        QCOMPARE(f.MapStatus(), quint8(msModified));
        QCOMPARE(f.windowTitle(), QStringLiteral("MIDI Zembrik Setup"));
    }

    // The older single-map layout fills the shown map only.
    void legacyFileFillsTheShownMap()
    {
        QTemporaryDir dir;
        WindowRig rig;
        TformMain &f = *rig.form;
        const QString path = dir.filePath(QStringLiteral("old.map"));
        writeAll(path, "<?xml version=\"1.0\"?>\r\n<Configuration>\r\n  <formMain>\r\n"
                       "    <editNote10_Text>38</editNote10_Text>\r\n    <editNote21_Text>300</editNote21_Text>\r\n"
                       "  </formMain>\r\n</Configuration>\r\n");
        f.mapPage->editNote[5][5]->SetValueText(QStringLiteral("60"));
        f.mapPage->tabMaps->setCurrentIndex(1);
        rig.prompter.file = path;
        f.mapPage->btnRecall->click();
        QCOMPARE(f.Editor().NoteMaps.At(1, 0, 0), 38);
        QCOMPARE(f.Editor().NoteMaps.At(1, 1, 1), NoNote); // 300 is no note
        QCOMPARE(f.Editor().NoteMaps.At(0, 5, 5), 60);
        QCOMPARE(f.mapPage->editNote[0][0]->text(), QStringLiteral("38"));
        QCOMPARE(f.MapStatus(), quint8(msRecalledFromFile));
    }
};

QTEST_MAIN(MapEditorTest)
#include "test_map_editor.moc"
