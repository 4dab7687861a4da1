// The map editor's rules without widgets: clamping, duplicates, compaction,
// the status line, the close question and the geometry bounds.
#include "maps/NoteMaps.h"

#include <QTest>

using namespace zembrik;

using Row = std::array<int, MaxNotesPerOutput>;
Q_DECLARE_METATYPE(Row)

class NoteMapsTest : public QObject {
    Q_OBJECT
private slots:
    void values()
    {
        QCOMPARE(ClampCellValue(200), 127);
        QCOMPARE(ClampCellValue(-5), 0);
        QCOMPARE(ClampCellValue(NoNote), NoNote);
        QCOMPARE(CellTextValue(QString()), NoNote);
        QCOMPARE(CellTextValue(QStringLiteral("38")), 38);
        QCOMPARE(CellTextValue(QStringLiteral("x")), NoNote);
        QCOMPARE(ClampSwitchNote(300), 127);
        QCOMPARE(ClampSwitchNote(255), 255);
        QCOMPARE(ClampSwitchNote(-1), 0);
    }

    void duplicates()
    {
        TNoteMaps maps;
        maps.Set(0, 0, 0, 38);
        maps.Set(0, 4, 9, 38); // across outputs, slot 9 included
        maps.Set(0, 2, 3, 40);
        maps.Set(1, 1, 1, 40); // the other map does not count
        auto red = DuplicateCells(maps, 0);
        QCOMPARE(int(red.count()), 2);
        QVERIFY(red.test(0) && red.test(49));
        maps.Set(0, 6, 0, 38); // three times: all three
        QCOMPARE(int(DuplicateCells(maps, 0).count()), 3);
        maps.Set(0, 4, 9, 41);
        maps.Set(0, 6, 0, NoNote); // changed back: none left
        QVERIFY(DuplicateCells(maps, 0).none());
        QVERIFY(DuplicateCells(maps, 1).none());
    }

    void compaction_data()
    {
        QTest::addColumn<Row>("row");
        QTest::addColumn<Row>("compacted");
        QTest::addColumn<bool>("moved");
        const int N = NoNote;
        QTest::newRow("slots 2, 5, 9") << Row{N, N, 36, N, N, 38, N, N, N, 40} << Row{36, 38, 40, N, N, N, N, N, N, N}
                                       << true;
        QTest::newRow("no gaps") << Row{36, 38, N, N, N, N, N, N, N, N} << Row{36, 38, N, N, N, N, N, N, N, N} << false;
        QTest::newRow("empty") << Row{N, N, N, N, N, N, N, N, N, N} << Row{N, N, N, N, N, N, N, N, N, N} << false;
        QTest::newRow("full") << Row{1, 2, 3, 4, 5, 6, 7, 8, 9, 10} << Row{1, 2, 3, 4, 5, 6, 7, 8, 9, 10} << false;
    }
    void compaction()
    {
        QFETCH(Row, row);
        QFETCH(Row, compacted);
        QFETCH(bool, moved);
        QCOMPARE(CompactRow(row), moved);
        QCOMPARE(row, compacted);
    }

    void statusLine()
    {
        QCOMPARE(MapStatusText(0), QStringLiteral("Map Status: "));
        QCOMPARE(MapStatusText(msRecalledFromFile | msSavedToBox),
                 QStringLiteral("Map Status: [Recalled from File][Saved to Midi Zembrik]"));
        QCOMPARE(MapStatusText(0x3F), QStringLiteral("Map Status: [Modified][Recalled from Midi Zembrik]"
                                                     "[Recalled from File][Saved to Midi Zembrik][Saved in File]"));
    }

    void closeQuestion()
    {
        QCOMPARE(CloseQuestion(true, 0), TCloseQuestion::None);
        QCOMPARE(CloseQuestion(true, msSavedInFile), TCloseQuestion::NotSavedOnBox);
        QCOMPARE(CloseQuestion(true, msModified | msSavedToBox), TCloseQuestion::None);
        QCOMPARE(CloseQuestion(false, msRecalledFromFile), TCloseQuestion::None);
        QCOMPARE(CloseQuestion(false, msModified), TCloseQuestion::NotSaved);
        QCOMPARE(CloseQuestionText(TCloseQuestion::NotSaved),
                 QStringLiteral("Map has not been saved, are you sure you want to exit?"));
    }

    void geometryBounds()
    {
        const TMapGeometry ok = ClampGeometry(2, 6, 8);
        QVERIFY(!ok.clamped);
        const TMapGeometry big = ClampGeometry(4, 12, 16);
        QVERIFY(big.clamped);
        QCOMPARE(big.maps, 2);
        QCOMPARE(big.outputs, 8);
        QCOMPARE(big.notesPerOutput, 10);
        QVERIFY(ClampGeometry(0, 8, 10).clamped);
    }
};

QTEST_GUILESS_MAIN(NoteMapsTest)
#include "test_note_maps.moc"
