// The map editor's engine without widgets: what a cell change records,
// duplicates, compaction, "Clone", a row's "Clear", the map count and the
// geometry, the status flags, the msUpdating rule and the switch note.
#include "maps/MapEditor.h"

#include <QTest>

#include <QRegularExpression>

#include <algorithm>
#include <functional>

using namespace zembrik;

using Row = std::array<int, MaxNotesPerOutput>;
using Action = std::function<void(TMapEditor &)>;
Q_DECLARE_METATYPE(Row)
Q_DECLARE_METATYPE(Action)

namespace {

constexpr int N = NoNote;

// The engine with what it told, as the window sees it.
struct Editor {
    TMapEditor e;
    QStringList changes; // "o.s=v" for each cellChanged
    QList<quint8> statuses;
    QList<int> shown, selecting, mapCounts;
    QString notice;
    TCellSet red;

    Editor()
    {
        QObject::connect(&e, &TMapEditor::cellChanged, &e, [this](int o, int s, int v) {
            changes << QStringLiteral("%1.%2=%3").arg(o).arg(s).arg(v == N ? QString() : QString::number(v));
        });
        QObject::connect(&e, &TMapEditor::statusChanged, &e, [this](quint8 s) { statuses << s; });
        QObject::connect(&e, &TMapEditor::mapShown, &e, [this](int m) { shown << m; });
        QObject::connect(&e, &TMapEditor::mapSelecting, &e, [this](int m) { selecting << m; });
        QObject::connect(&e, &TMapEditor::mapCountChanged, &e, [this](int n) { mapCounts << n; });
        QObject::connect(&e, &TMapEditor::geometryClamped, &e, [this](const QString &t) { notice = t; });
        QObject::connect(&e, &TMapEditor::duplicatesChanged, &e, [this](const TCellSet &r) { red = r; });
    }

    // The grid shows map as the program fills it: nothing is recorded.
    void show(int map)
    {
        const quint8 status = e.MapStatus();
        e.SetMapStatus(status | msUpdating);
        e.ShowMap(map);
        e.SetMapStatus(status);
    }
    void forget()
    {
        changes.clear();
        statuses.clear();
        shown.clear();
        selecting.clear();
    }
    Row cells(int o) const
    {
        Row r;
        for (int s = 0; s < MaxNotesPerOutput; ++s)
            r[s] = e.Cell(o, s);
        return r;
    }
    Row mapRow(int map, int o) const
    {
        Row r;
        for (int s = 0; s < MaxNotesPerOutput; ++s)
            r[s] = e.NoteMaps.At(map, o, s);
        return r;
    }
};

// "0.0=38 4.9=" : output.slot=value, empty for NoNote.
void enter(TMapEditor &e, const QString &edits)
{
    for (const QString &edit : edits.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList parts = edit.split(QRegularExpression(QStringLiteral("[.=]")));
        e.EnterCell(parts[0].toInt(), parts[1].toInt(), parts[2].isEmpty() ? N : parts[2].toInt());
    }
}

// "0.0 4.9" : the cells in the set.
QString cellNames(const TCellSet &set)
{
    QStringList names;
    for (int i = 0; i < int(set.size()); ++i)
        if (set.test(i))
            names << QStringLiteral("%1.%2").arg(i / MaxNotesPerOutput).arg(i % MaxNotesPerOutput);
    return names.join(QLatin1Char(' '));
}

} // namespace

class MapEditorEngineTest : public QObject {
    Q_OBJECT
private slots:
    void startState()
    {
        Editor ed;
        QCOMPARE(ed.e.MapCount(), 2);
        QCOMPARE(ed.e.OutputCount(), MaxOutputs);
        QCOMPARE(ed.e.NotesPerOutput(), MaxNotesPerOutput);
        QCOMPARE(ed.e.CurrentMap(), 0);
        QCOMPARE(ed.e.MapStatus(), quint8(0));
        QCOMPARE(ed.e.NoteMaps, TNoteMaps());
        for (int o = 0; o < MaxOutputs; ++o)
            QCOMPARE(ed.cells(o), Row({N, N, N, N, N, N, N, N, N, N}));
    }

    // A value reaching cell (2, 4): what it shows, what slot (0, 2, 4) holds,
    // the status afterwards and how often the grid is told.
    void cellChange_data()
    {
        QTest::addColumn<int>("statusBefore");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("typed");
        QTest::addColumn<int>("shown");
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("told");
        const int m = msModified;
        QTest::newRow("200 typed shows 127") << 0 << N << 200 << true << 127 << 127 << m << 1;
        QTest::newRow("in range") << 0 << N << 38 << true << 38 << 38 << m << 1;
        QTest::newRow("emptied stores NoNote") << 0 << 38 << N << true << N << N << m << 1;
        QTest::newRow("below 0 held to 0") << 0 << N << -5 << true << 0 << 0 << m << 1;
        QTest::newRow("recalled and saved flags dropped")
            << int(msRecalledFromBox | msSavedInFile) << N << 40 << true << 40 << 40 << m << 1;
        // The cell's text changed ("038" for 38): recorded like any change.
        QTest::newRow("same value typed again") << int(msSavedToBox) << 38 << 38 << true << 38 << 38 << m << 1;
        QTest::newRow("same value set by the program")
            << int(msSavedToBox) << 38 << 38 << false << 38 << 38 << int(msSavedToBox) << 0;
        QTest::newRow("200 set by the program over 127")
            << int(msSavedToBox) << 127 << 200 << false << 127 << 127 << m << 1;
        QTest::newRow("while updating: held, not recorded") << int(msUpdating | msRecalledFromBox) << 55 << 200 << false
                                                            << 127 << 55 << int(msUpdating | msRecalledFromBox) << 1;
        QTest::newRow("typed while updating")
            << int(msUpdating) << 55 << 60 << true << 60 << 55 << int(msUpdating) << 1;
    }
    void cellChange()
    {
        QFETCH(int, statusBefore);
        QFETCH(int, before);
        QFETCH(int, value);
        QFETCH(bool, typed);
        QFETCH(int, shown);
        QFETCH(int, slot);
        QFETCH(int, status);
        QFETCH(int, told);
        Editor ed;
        ed.e.NoteMaps.Set(0, 2, 4, before);
        ed.show(0);
        ed.e.SetMapStatus(quint8(statusBefore));
        ed.forget();
        if (typed)
            ed.e.EnterCell(2, 4, value);
        else
            ed.e.SetCell(2, 4, value);
        QCOMPARE(ed.e.Cell(2, 4), shown);
        QCOMPARE(ed.e.NoteMaps.At(0, 2, 4), slot);
        QCOMPARE(ed.e.MapStatus(), quint8(status));
        QCOMPARE(ed.changes.size(), told);
        if (told)
            QCOMPARE(ed.changes.last(), QStringLiteral("2.4=%1").arg(shown == N ? QString() : QString::number(shown)));
        QCOMPARE(ed.e.NoteMaps.At(1, 2, 4), N); // the other map is left alone
    }

    // The red cells after each edit of the shown map.
    void duplicates_data()
    {
        QTest::addColumn<QString>("edits");
        QTest::addColumn<QString>("red");
        QTest::newRow("across outputs, slot 9") << "0.0=38 4.9=38"
                                                << "0.0 4.9";
        QTest::newRow("three times") << "0.0=38 4.9=38 6.0=38"
                                     << "0.0 4.9 6.0";
        QTest::newRow("one changed back") << "0.0=38 4.9=38 4.9=40"
                                          << "";
        QTest::newRow("one emptied") << "0.0=38 4.9=38 0.0="
                                     << "";
        QTest::newRow("two pairs") << "0.0=38 1.0=40 2.0=38 3.0=40"
                                   << "0.0 1.0 2.0 3.0";
        QTest::newRow("200 held to 127 meets 127") << "0.0=127 7.9=200"
                                                   << "0.0 7.9";
    }
    void duplicates()
    {
        QFETCH(QString, edits);
        QFETCH(QString, red);
        Editor ed;
        enter(ed.e, edits);
        QCOMPARE(cellNames(ed.red), red);
        QCOMPARE(cellNames(ed.e.Duplicates()), red);
    }

    void duplicatesOfTheShownMapOnly()
    {
        Editor ed;
        enter(ed.e, QStringLiteral("0.0=38 4.9=38"));
        ed.e.NoteMaps.Set(1, 3, 3, 50);
        ed.e.NoteMaps.Set(1, 6, 1, 50);
        ed.e.MarkDuplicates(0);
        QCOMPARE(cellNames(ed.red), QStringLiteral("0.0 4.9"));
        ed.e.SelectMap(1);
        QCOMPARE(cellNames(ed.red), QStringLiteral("3.3 6.1"));
        ed.e.SelectMap(0);
        QCOMPARE(cellNames(ed.red), QStringLiteral("0.0 4.9"));
    }

    // Output 1 compacted beside output 3, which holds no gaps; the geometry
    // hides slots from notes on, and they take part all the same.
    void compaction_data()
    {
        QTest::addColumn<Row>("row");
        QTest::addColumn<int>("notes");
        QTest::addColumn<Row>("compacted");
        QTest::addColumn<bool>("moved");
        QTest::newRow("slots 2, 5 and 9")
            << Row{N, N, 40, N, N, 41, N, N, N, 42} << 10 << Row{40, 41, 42, N, N, N, N, N, N, N} << true;
        QTest::newRow("a note in a hidden slot")
            << Row{36, N, N, N, N, N, N, N, N, 38} << 5 << Row{36, 38, N, N, N, N, N, N, N, N} << true;
        QTest::newRow("no gaps") << Row{40, 41, N, N, N, N, N, N, N, N} << 10 << Row{40, 41, N, N, N, N, N, N, N, N}
                                 << false;
        QTest::newRow("empty") << Row{N, N, N, N, N, N, N, N, N, N} << 10 << Row{N, N, N, N, N, N, N, N, N, N} << false;
    }
    void compaction()
    {
        QFETCH(Row, row);
        QFETCH(int, notes);
        QFETCH(Row, compacted);
        QFETCH(bool, moved);
        Editor ed;
        ed.e.SetMapGeometry(8, notes);
        for (int s = 0; s < MaxNotesPerOutput; ++s)
            ed.e.NoteMaps.Set(0, 1, s, row[s]);
        ed.e.NoteMaps.Set(0, 3, 0, 60);
        ed.e.NoteMaps.Set(0, 3, 1, 42); // a duplicate once compacted
        ed.e.NoteMaps.Set(1, 1, 7, 77); // the other map is not compacted
        ed.show(0);
        ed.e.SetMapStatus(msRecalledFromBox);
        ed.forget();
        ed.e.CompactMap();
        QCOMPARE(ed.cells(1), compacted);
        QCOMPARE(ed.mapRow(0, 1), compacted); // every move is recorded
        QCOMPARE(ed.cells(3), Row({60, 42, N, N, N, N, N, N, N, N}));
        QCOMPARE(ed.e.NoteMaps.At(1, 1, 7), 77);
        QCOMPARE(ed.e.MapStatus(), quint8(moved ? msModified : msRecalledFromBox));
        QCOMPARE(ed.changes.isEmpty(), !moved);
        if (moved)
            QCOMPARE(ed.e.Duplicates().test(3 * MaxNotesPerOutput + 1),
                     std::find(compacted.begin(), compacted.end(), 42) != compacted.end());
    }

    // Map 1 holds 70 at (2, 2); Map 2 holds 36 at (0, 0) and 49 at (7, 9),
    // outside the geometry of 8 x 9.
    void clone_data()
    {
        QTest::addColumn<int>("maps");
        QTest::addColumn<int>("shownMap");
        QTest::addColumn<Row>("output0");
        QTest::addColumn<Row>("output2");
        QTest::addColumn<Row>("output7");
        QTest::addColumn<int>("status");
        const Row empty{N, N, N, N, N, N, N, N, N, N};
        const Row has36{36, N, N, N, N, N, N, N, N, N};
        const Row has70{N, N, 70, N, N, N, N, N, N, N};
        QTest::newRow("one map: nothing") << 1 << 0 << empty << has70 << empty << 0;
        QTest::newRow("two maps, Map 1 shown") << 2 << 0 << has36 << empty << empty << int(msModified);
        // 49 lies outside the geometry: the shown map's slot ends empty.
        QTest::newRow("two maps, Map 2 shown") << 2 << 1 << empty << has70 << empty << int(msModified);
    }
    void clone()
    {
        QFETCH(int, maps);
        QFETCH(int, shownMap);
        QFETCH(Row, output0);
        QFETCH(Row, output2);
        QFETCH(Row, output7);
        QFETCH(int, status);
        Editor ed;
        ed.e.NoteMaps.Set(0, 2, 2, 70);
        ed.e.NoteMaps.Set(1, 0, 0, 36);
        ed.e.NoteMaps.Set(1, 7, 9, 49);
        ed.e.SetMapGeometry(8, 9);
        ed.show(0);
        ed.e.SelectMap(shownMap);
        ed.e.SetMapCount(maps);
        const TNoteMaps before = ed.e.NoteMaps;
        ed.e.CloneMap();
        QCOMPARE(ed.cells(0), output0);
        QCOMPARE(ed.cells(2), output2);
        QCOMPARE(ed.cells(7), output7);
        for (int o = 0; o < MaxOutputs; ++o)
            QCOMPARE(ed.mapRow(shownMap, o), ed.cells(o));
        const int other = 1 - shownMap;
        for (int o = 0; o < MaxOutputs; ++o)
            for (int s = 0; s < MaxNotesPerOutput; ++s)
                QCOMPARE(ed.e.NoteMaps.At(other, o, s), before.At(other, o, s));
        QCOMPARE(ed.e.MapStatus(), quint8(status));
    }

    void rowClear_data()
    {
        QTest::addColumn<int>("output");
        QTest::addColumn<bool>("cleared");
        QTest::newRow("first output") << 0 << true;
        QTest::newRow("last output") << 7 << true;
        QTest::newRow("no such output") << 8 << false;
    }
    void rowClear()
    {
        QFETCH(int, output);
        QFETCH(bool, cleared);
        Editor ed;
        for (int o = 0; o < MaxOutputs; ++o)
            for (int s = 0; s < MaxNotesPerOutput; ++s)
                ed.e.NoteMaps.Set(0, o, s, o * 10 + s);
        ed.show(0);
        ed.e.SetMapStatus(msSavedInFile);
        ed.e.ClearOutput(output);
        for (int o = 0; o < MaxOutputs; ++o) {
            const bool empty = cleared && o == output;
            QCOMPARE(ed.cells(o)[9], empty ? N : o * 10 + 9);
            QCOMPARE(ed.mapRow(0, o)[0], empty ? N : o * 10);
        }
        QCOMPARE(ed.e.MapStatus(), quint8(cleared ? msModified : msSavedInFile));
    }

    void mapCount_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("notice");
        QTest::newRow("one") << 1 << 1 << QString();
        QTest::newRow("two") << 2 << 2 << QString();
        QTest::newRow("five") << 5 << 2 << "The MIDI Zembrik reports 5 maps; this program handles 2.";
        QTest::newRow("none") << 0 << 1 << "The MIDI Zembrik reports 0 maps; this program handles 1.";
    }
    void mapCount()
    {
        QFETCH(int, n);
        QFETCH(int, count);
        QFETCH(QString, notice);
        Editor ed;
        ed.e.SetMapCount(n);
        QCOMPARE(ed.e.MapCount(), count);
        QCOMPARE(ed.mapCounts, QList<int>{count});
        QCOMPARE(ed.notice, notice);
    }

    void geometry_data()
    {
        QTest::addColumn<int>("outputs");
        QTest::addColumn<int>("notes");
        QTest::addColumn<int>("heldOutputs");
        QTest::addColumn<int>("heldNotes");
        QTest::addColumn<QString>("notice");
        QTest::newRow("6 x 8") << 6 << 8 << 6 << 8 << QString();
        QTest::newRow("8 x 10") << 8 << 10 << 8 << 10 << QString();
        QTest::newRow("12 x 16") << 12 << 16 << 8 << 10
                                 << "The MIDI Zembrik reports 12 outputs of 16 notes; this program handles up to 8 "
                                    "of 10.";
        QTest::newRow("0 x 10") << 0 << 10 << 1 << 10
                                << "The MIDI Zembrik reports 0 outputs of 10 notes; this program handles up to 8 of "
                                   "10.";
    }
    void geometry()
    {
        QFETCH(int, outputs);
        QFETCH(int, notes);
        QFETCH(int, heldOutputs);
        QFETCH(int, heldNotes);
        QFETCH(QString, notice);
        Editor ed;
        QList<int> told;
        QObject::connect(&ed.e, &TMapEditor::geometryChanged, &ed.e, [&](int o, int n) { told = {o, n}; });
        ed.e.SetMapGeometry(outputs, notes);
        QCOMPARE(ed.e.OutputCount(), heldOutputs);
        QCOMPARE(ed.e.NotesPerOutput(), heldNotes);
        QCOMPARE(told, QList<int>({heldOutputs, heldNotes}));
        QCOMPARE(ed.notice, notice);
        const TMapLayout layout = ed.e.Layout();
        QCOMPARE(layout.outputs, heldOutputs);
        QCOMPARE(layout.notesPerOutput, heldNotes);
    }

    // The status after each event.  Map 1 holds 38 at (0, 0) before it.
    void status_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<Action>("event");
        QTest::addColumn<int>("after");
        const int recalled = msRecalledFromFile | msSavedToBox;
        QTest::newRow("a typed cell") << recalled << Action([](TMapEditor &e) { e.EnterCell(1, 1, 40); })
                                      << int(msModified);
        QTest::newRow("SelectMap") << recalled << Action([](TMapEditor &e) { e.SelectMap(1); }) << recalled;
        QTest::newRow("ShowMap of the other map")
            << recalled << Action([](TMapEditor &e) { e.ShowMap(1); }) << int(msModified);
        QTest::newRow("ShowMap while updating")
            << int(msUpdating | msRecalledFromFile) << Action([](TMapEditor &e) { e.ShowMap(1); })
            << int(msUpdating | msRecalledFromFile);
        QTest::newRow("ClearMaps over a note")
            << int(msSavedInFile) << Action([](TMapEditor &e) { e.ClearMaps(-1); }) << int(msModified);
        // The shown map is shown again, as cell changes.
        QTest::newRow("ClearMaps of the other map")
            << int(msSavedInFile) << Action([](TMapEditor &e) { e.ClearMaps(1); }) << int(msModified);
        QTest::newRow("ClearMaps of the other map while updating")
            << int(msUpdating | msSavedInFile) << Action([](TMapEditor &e) { e.ClearMaps(1); })
            << int(msUpdating | msSavedInFile);
        QTest::newRow("StoreCellsIntoMap")
            << recalled << Action([](TMapEditor &e) { e.StoreCellsIntoMap(1); }) << recalled;
        QTest::newRow("set by the caller") << 0 << Action([](TMapEditor &e) { e.SetMapStatus(0x3F); }) << 0x3F;
    }
    void status()
    {
        QFETCH(int, before);
        QFETCH(Action, event);
        QFETCH(int, after);
        Editor ed;
        ed.e.NoteMaps.Set(0, 0, 0, 38);
        ed.show(0);
        ed.e.SetMapStatus(quint8(before));
        ed.forget();
        event(ed.e);
        QCOMPARE(ed.e.MapStatus(), quint8(after));
        if (after != before)
            QCOMPARE(ed.statuses.last(), quint8(after)); // the status line is told
    }

    // SelectMap stores the shown map's cells, shows the other map without
    // recording it, and tells the box while msUpdating is still set.
    void selectMap()
    {
        Editor ed;
        ed.e.EnterCell(0, 0, 38);
        ed.e.NoteMaps.Set(1, 3, 3, 50);
        ed.e.SetMapStatus(msRecalledFromFile);
        quint8 statusWhileSelecting = 0;
        int currentWhileSelecting = -1;
        QObject::connect(&ed.e, &TMapEditor::mapSelecting, &ed.e, [&] {
            statusWhileSelecting = ed.e.MapStatus();
            currentWhileSelecting = ed.e.CurrentMap();
        });
        ed.forget();
        ed.e.SelectMap(1);
        QCOMPARE(ed.e.CurrentMap(), 1);
        QCOMPARE(ed.shown, QList<int>{1});
        QCOMPARE(ed.selecting, QList<int>{1});
        QCOMPARE(statusWhileSelecting, quint8(msRecalledFromFile | msUpdating));
        QCOMPARE(currentWhileSelecting, 0);
        QCOMPARE(ed.e.MapStatus(), quint8(msRecalledFromFile));
        QCOMPARE(ed.e.Cell(3, 3), 50);
        QCOMPARE(ed.e.Cell(0, 0), N);
        QCOMPARE(ed.e.NoteMaps.At(0, 0, 0), 38);
        QCOMPARE(ed.e.NoteMaps.At(1, 0, 0), N);

        // A map the box does not hold: Map 1.
        ed.e.SetMapCount(1);
        ed.e.SelectMap(1);
        QCOMPARE(ed.e.CurrentMap(), 0);
        QCOMPARE(ed.e.Cell(0, 0), 38);
        QCOMPARE(ed.e.NoteMaps.At(1, 3, 3), 50);
    }

    // A value above 127 from the box shows as 127; its slot keeps it until
    // the cells are stored into the map.
    void boxValueAbove127()
    {
        Editor ed;
        ed.e.NoteMaps.Set(0, 0, 0, 200);
        ed.e.SetMapStatus(msUpdating);
        ed.e.ShowMap(0);
        ed.e.MarkDuplicates(0);
        ed.e.SetMapStatus(msRecalledFromBox);
        QCOMPARE(ed.e.Cell(0, 0), 127);
        QCOMPARE(ed.changes.last(), QStringLiteral("0.0=127"));
        QCOMPARE(ed.e.NoteMaps.At(0, 0, 0), 200);
        QCOMPARE(ed.e.MapStatus(), quint8(msRecalledFromBox));
        ed.e.StoreCellsIntoMap(0);
        QCOMPARE(ed.e.NoteMaps.At(0, 0, 0), 127);
    }

    // Showing the shown map without msUpdating empties the cells first, as
    // cell changes: the map must survive that.
    void showingTheShownMapKeepsIt()
    {
        Editor ed;
        enter(ed.e, QStringLiteral("0.0=38 5.9=44"));
        ed.e.SetMapStatus(msSavedInFile);
        ed.e.ShowMap(0);
        QCOMPARE(ed.e.Cell(0, 0), 38);
        QCOMPARE(ed.e.Cell(5, 9), 44);
        QCOMPARE(ed.e.NoteMaps.At(0, 0, 0), 38);
        QCOMPARE(ed.e.NoteMaps.At(0, 5, 9), 44);
        QCOMPARE(ed.e.MapStatus(), quint8(msModified));
        ed.e.ClearMaps(1); // the same through ClearMaps
        QCOMPARE(ed.e.NoteMaps.At(0, 0, 0), 38);
    }

    // Numbers from outside (a caller, a file, a box) never reach past the
    // table.
    void outsideTheTable()
    {
        Editor ed;
        ed.e.EnterCell(8, 0, 38);
        ed.e.EnterCell(0, 10, 38);
        ed.e.SetCell(-1, 0, 38);
        ed.e.ShowMap(2);
        ed.e.StoreCellsIntoMap(-1);
        ed.e.MarkDuplicates(2);
        ed.e.ClearOutput(-1);
        QVERIFY(ed.changes.isEmpty() && ed.shown.isEmpty());
        QCOMPARE(ed.e.NoteMaps, TNoteMaps());
        QCOMPARE(ed.e.MapStatus(), quint8(0));
    }

    void switchNote_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("note");
        QTest::newRow("300") << 300 << 127;
        QTest::newRow("254") << 254 << 127;
        QTest::newRow("128") << 128 << 127;
        QTest::newRow("127") << 127 << 127;
        QTest::newRow("0") << 0 << 0;
        QTest::newRow("-1") << -1 << 0;
        QTest::newRow("255, none") << 255 << 255;
    }
    void switchNote()
    {
        QFETCH(int, n);
        QFETCH(int, note);
        Editor ed;
        QList<int> told;
        bool runningWhileTold = false;
        QObject::connect(&ed.e, &TMapEditor::switchNoteChanged, &ed.e, [&](int v) {
            told << v;
            runningWhileTold = ed.e.SwitchNoteRunning();
            ed.e.SetSwitchNote(5); // inside a run: ignored
        });
        ed.e.SetSwitchNote(n);
        QCOMPARE(ed.e.SwitchNote(), note);
        QCOMPARE(told, QList<int>{note});
        QVERIFY(runningWhileTold);
        QVERIFY(!ed.e.SwitchNoteRunning());
    }

    // Each kind of step: its text, and putting back the state before it and
    // then the state after it gives the maps, the cells, the shown map and
    // the status exactly as they were.
    void undoSteps_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("text");
        QTest::newRow("typed note") << Action([](TMapEditor &e) { e.EnterCell(2, 4, 38); })
                                    << QStringLiteral("Enter Note");
        QTest::newRow("row clear") << Action([](TMapEditor &e) { e.ClearOutput(0); })
                                   << QStringLiteral("Clear Output 1");
        QTest::newRow("clone") << Action([](TMapEditor &e) { e.CloneMap(); }) << QStringLiteral("Clone");
        QTest::newRow("recall, another map shown") << Action([](TMapEditor &e) {
            TEditorStep step(e, QStringLiteral("Get Map from File"));
            e.NoteMaps.Set(1, 5, 0, 49);
            e.SelectMap(1);
            e.SetMapStatus(msRecalledFromFile);
        }) << QStringLiteral("Get Map from File");
        QTest::newRow("compaction before a store") << Action([](TMapEditor &e) {
            TEditorStep step(e, QStringLiteral("Store Map on MIDI Zembrik"));
            e.CompactMap();
            e.StoreCellsIntoMap(e.CurrentMap());
            e.SetMapStatus(msSavedToBox);
        }) << QStringLiteral("Store Map on MIDI Zembrik");
    }
    void undoSteps()
    {
        QFETCH(Action, action);
        QFETCH(QString, text);
        Editor ed;
        // Map 1: 36 in slot 0 and 40 after a gap; map 2: 50.
        ed.e.NoteMaps.Set(0, 0, 0, 36);
        ed.e.NoteMaps.Set(0, 0, 2, 40);
        ed.e.NoteMaps.Set(1, 1, 0, 50);
        ed.show(0);
        ed.e.SetMapStatus(msRecalledFromBox);
        QStringList texts;
        TEditorState before, after;
        QObject::connect(&ed.e, &TMapEditor::stepDone, &ed.e,
                         [&](const QString &t, const TEditorState &b, const TEditorState &a) {
                             texts << t;
                             before = b;
                             after = a;
                         });
        const TEditorState start = ed.e.State();
        action(ed.e);
        const TEditorState done = ed.e.State();
        QCOMPARE(texts, QStringList{text});
        QVERIFY(before == start);
        QVERIFY(after == done);
        QVERIFY(done != start);

        ed.forget();
        ed.e.RestoreState(before);
        QVERIFY(ed.e.State() == start);
        QCOMPARE(ed.e.MapStatus(), quint8(msRecalledFromBox));
        for (int o = 0; o < MaxOutputs; ++o) // the grid was told every cell that differed
            for (int s = 0; s < MaxNotesPerOutput; ++s)
                QCOMPARE(ed.e.Cell(o, s), start.cells[o][s]);
        QCOMPARE(ed.shown.last(), start.currentMap);
        ed.e.RestoreState(after);
        QVERIFY(ed.e.State() == done);
        QCOMPARE(texts.size(), 1); // putting states back is no step
    }

    // Steps nest, and a step that changed nothing is not reported.
    void undoStepRules()
    {
        Editor ed;
        int steps = 0;
        QObject::connect(&ed.e, &TMapEditor::stepDone, &ed.e, [&] { ++steps; });
        {
            TEditorStep outer(ed.e, QStringLiteral("Get Map from MIDI Zembrik"));
            ed.e.EnterCell(0, 0, 38); // inside: part of the outer step
            ed.e.ClearOutput(1);
        }
        QCOMPARE(steps, 1);
        ed.e.CompactMap(); // nothing to move
        {
            TEditorStep nothing(ed.e, QStringLiteral("Store Map in File"));
        }
        QCOMPARE(steps, 1);
        ed.e.SetCell(3, 3, 60); // the program's own changes are no step
        QCOMPARE(steps, 1);
    }
};

QTEST_GUILESS_MAIN(MapEditorEngineTest)
#include "test_map_editor_engine.moc"
