// Map files: what a save writes within the geometry, what a recall reads in
// either layout, and that a failed save keeps the old file.
#include "maps/MapFile.h"
#include "tests/TestFiles.h"

#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace zembrik;
using namespace zembrik::test;

class MapFileTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString file(const char *n) { return dir.filePath(QString::fromLatin1(n)); }

private slots:
    void onlyNotesWithinTheGeometry()
    {
        TNoteMaps maps;
        maps.Set(0, 0, 0, 36);
        maps.Set(0, 7, 9, 49);
        maps.Set(1, 2, 3, 38); // Map 2
        QVERIFY(SaveMapFile(file("a.map"), maps, {2, 8, 10, 0}).ok);
        QCOMPARE(readAll(file("a.map")),
                 QByteArray("<?xml version=\"1.0\" encoding=\"Windows-1252\" standalone=\"no\"?>\r\n"
                            "<Configuration>\r\n"
                            "  <Map0>\r\n"
                            "    <Output0.Note0>36</Output0.Note0>\r\n"
                            "    <Output7.Note9>49</Output7.Note9>\r\n"
                            "  </Map0>\r\n"
                            "  <Map1>\r\n"
                            "    <Output2.Note3>38</Output2.Note3>\r\n"
                            "  </Map1>\r\n"
                            "</Configuration>\r\n"));
        // One map, 6 outputs of 8 notes: only Map0 and only what fits.
        QVERIFY(SaveMapFile(file("b.map"), maps, {1, 6, 8, 0}).ok);
        const QByteArray b = readAll(file("b.map"));
        QVERIFY(b.contains("<Output0.Note0>36"));
        QVERIFY(!b.contains("Output7") && !b.contains("Map1"));

        TNoteMaps only2;
        only2.Set(1, 0, 0, 40);
        QVERIFY(SaveMapFile(file("c.map"), only2, {2, 8, 10, 0}).ok);
        QVERIFY(!readAll(file("c.map")).contains("<Map0>"));
    }

    void recall()
    {
        writeAll(file("r.map"), "<Configuration><Map0><Output0.Note0>200</Output0.Note0>"
                                "<Output0.Note1>-5</Output0.Note1><Output0.Note2>x</Output0.Note2>"
                                "<Output0.Note3>38</Output0.Note3><Output1.Note9>45</Output1.Note9></Map0>"
                                "<Map1><Output0.Note0>50</Output0.Note0></Map1></Configuration>");
        TNoteMaps maps;
        maps.Set(1, 5, 5, 60);
        TMapFileResult r = LoadMapFile(file("r.map"), maps, {2, 8, 8, 0});
        QVERIFY(!r.legacy);
        QCOMPARE(maps.At(0, 0, 0), NoNote); // 200
        QCOMPARE(maps.At(0, 0, 1), NoNote); // -5
        QCOMPARE(maps.At(0, 0, 2), NoNote); // text
        QCOMPARE(maps.At(0, 0, 3), 38);
        QCOMPARE(maps.At(0, 1, 9), NoNote); // beyond 8 notes
        QCOMPARE(maps.At(1, 0, 0), 50);
        QCOMPARE(maps.At(1, 5, 5), NoNote); // both maps were emptied
        LoadMapFile(file("r.map"), maps, {1, 8, 10, 0});
        QCOMPARE(maps.At(1, 0, 0), NoNote); // one map: Map1 not read
        QCOMPARE(maps.At(0, 1, 9), 45);
    }

    void legacyLayout()
    {
        writeAll(file("old.map"), "<Configuration><formMain><editNote10_Text>36</editNote10_Text>"
                                  "<editNote89_Text>44</editNote89_Text></formMain></Configuration>");
        TNoteMaps maps;
        maps.Set(0, 0, 0, 70);
        TMapFileResult r = LoadMapFile(file("old.map"), maps, {2, 8, 10, 1});
        QVERIFY(r.legacy);
        QCOMPARE(maps.At(1, 0, 0), 36);
        QCOMPARE(maps.At(1, 7, 9), 44);
        QCOMPARE(maps.At(0, 0, 0), 70); // the other map is kept

        for (const QByteArray &marker :
             {QByteArray("<editNote10_Text/>"), QByteArray("<editNote11_Text>3</editNote11_Text>")}) {
            writeAll(file("new.map"), "<Configuration><formMain>" + marker +
                                          "</formMain>"
                                          "<Map0><Output0.Note0>36</Output0.Note0></Map0></Configuration>");
            TNoteMaps m;
            QVERIFY(!LoadMapFile(file("new.map"), m, {2, 8, 10, 0}).legacy);
            QCOMPARE(m.At(0, 0, 0), 36);
        }
    }

    void failedSaveKeepsTheOldFile()
    {
        SmallDisk mnt;
        if (!mnt.mounted())
            QSKIP("cannot mount a tmpfs here");
        const QString path = mnt.filePath(QStringLiteral("kit.map"));
        TNoteMaps maps;
        maps.Set(0, 0, 0, 36);
        QVERIFY(SaveMapFile(path, maps, {}).ok);
        const QByteArray old = readAll(path);
        mnt.fill();
        for (int o = 0; o < MaxOutputs; ++o)
            for (int s = 0; s < MaxNotesPerOutput; ++s)
                maps.Set(0, o, s, o * 10 + s);
        const TMapFileResult r = SaveMapFile(path, maps, {});
        QVERIFY(!r.ok);
        QVERIFY(!r.error.isEmpty());
        QCOMPARE(readAll(path), old);
    }
};

QTEST_GUILESS_MAIN(MapFileTest)
#include "test_map_file.moc"
