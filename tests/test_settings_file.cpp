// The program's settings file: the exact bytes of a new file, items of a
// shorter custom chart removed, what a restore takes from a file and what
// it refuses (other resolution, off the monitors, out-of-range values), an
// unreadable file set aside and a read-only file never written.  Every file
// lies in a temporary folder.
#include "shell/SettingsFile.h"
#include "tests/TestFiles.h"

#include <QFileDevice>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace zembrik;
using namespace zembrik::test;

namespace {

const QByteArray kDecl = "<?xml version=\"1.0\" encoding=\"Windows-1252\" standalone=\"no\"?>\r\n";
const QStringList kDefaultChart{QStringLiteral("<U><B>Custom Chart</B></U>")};

// One 1920 x 1080 monitor at 96 pixels per inch.
TScreenFacts fullHd(int ppi = 96)
{
    return {QSize(1920, 1080), ppi, [](const QPoint &p) { return QRect(0, 0, 1920, 1080).contains(p); }};
}

TWindowPlacement placedAt(int left, int top)
{
    TWindowPlacement p;
    p.Normal = QRect(left, top, 880, 600);
    return p;
}

QByteArray settings(const QByteArray &formMain)
{
    return kDecl + "<Configuration>\r\n  <formMain>\r\n" + formMain + "  </formMain>\r\n</Configuration>\r\n";
}

} // namespace

class SettingsFileTest : public QObject {
    Q_OBJECT
    QTemporaryDir home;
    QString file(const char *name) const { return home.filePath(QLatin1String(name)); }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
        QCoreApplication::setApplicationName(QStringLiteral("MIDI Zembrik Setup"));
        QVERIFY(TSettingsFile::FileName().startsWith(home.path()));
        QVERIFY(TSettingsFile::FileName().endsWith(QLatin1String("/MidiZembrik.xml")));
    }

    void newFileBytes()
    {
        const QString path = TSettingsFile::FileName(); // its folder does not exist yet
        {
            TSettingsFile s;
            s.RestoreSettings(placedAt(0, 0), fullHd());
            s.SaveSettings(placedAt(100, 50), fullHd(), 0, kDefaultChart, 0);
        }
        QCOMPARE(readAll(path), settings("    <FormVersion>0</FormVersion>\r\n"
                                         "    <Flags>0</Flags>\r\n"
                                         "    <PixelsPerInch>96</PixelsPerInch>\r\n"
                                         "    <MinMaxPos_1920x1080_>-1,-1,-1,-1</MinMaxPos_1920x1080_>\r\n"
                                         "    <MinMaxPos>-1,-1,-1,-1</MinMaxPos>\r\n"
                                         "    <NormPos_1920x1080_>100,50,980,650</NormPos_1920x1080_>\r\n"
                                         "    <NormPos>100,50,980,650</NormPos>\r\n"
                                         "    <pageNoteCharts_Tag>0</pageNoteCharts_Tag>\r\n"
                                         "    <listNotes4_Items>\r\n"
                                         "      <Item0>&lt;U&gt;&lt;B&gt;Custom Chart&lt;/B&gt;&lt;/U&gt;</Item0>\r\n"
                                         "      <Count>1</Count>\r\n"
                                         "    </listNotes4_Items>\r\n"
                                         "    <grpInfo_Tag>0</grpInfo_Tag>\r\n"));
        QFile::remove(path);
    }

    void saveBeforeRestoreWritesOnlyTheVersion()
    {
        {
            TSettingsFile s(file("early.xml"));
            s.SaveSettings(placedAt(100, 50), fullHd(), 3, kDefaultChart, 1);
        }
        QCOMPARE(readAll(file("early.xml")), settings("    <FormVersion>0</FormVersion>\r\n"));
    }

    void shorterChartRemovesItems()
    {
        const QStringList three{"<U><B>C</B></U>", "<FONT COLOR=clBLUE>38</FONT> a", "<FONT COLOR=clBLUE>40</FONT> b",
                                "<FONT COLOR=clBLUE>42</FONT> c"};
        {
            TSettingsFile s(file("chart.xml"));
            s.RestoreSettings(placedAt(0, 0), fullHd());
            s.SaveSettings(placedAt(0, 0), fullHd(), 6, three, 0);
        }
        QVERIFY(readAll(file("chart.xml"))
                    .contains("<Item3>&lt;FONT COLOR=clBLUE&gt;42&lt;/FONT&gt; c</Item3>\r\n"
                              "      <Count>4</Count>"));
        {
            TSettingsFile s(file("chart.xml"));
            QCOMPARE(s.RestoreSettings(placedAt(0, 0), fullHd()).CustomChart, three);
            s.SaveSettings(placedAt(0, 0), fullHd(), 6, three.mid(0, 2), 0);
        }
        const QByteArray bytes = readAll(file("chart.xml"));
        QVERIFY(bytes.contains("<Item1>&lt;FONT COLOR=clBLUE&gt;38&lt;/FONT&gt; a</Item1>\r\n"
                               "      <Count>2</Count>\r\n"));
        QVERIFY(!bytes.contains("<Item2>"));
        QVERIFY(!bytes.contains("<Item3>"));
    }

    // What a restore takes from a file written by hand.
    void restore_data()
    {
        QTest::addColumn<QByteArray>("formMain");
        QTest::addColumn<int>("ppi");
        QTest::addColumn<QPoint>("position"); // (-9, -9): not applied
        QTest::addColumn<int>("page");        // -9: not restored
        QTest::addColumn<int>("items");       // -9: not restored
        QTest::addColumn<int>("model");       // -9: not restored
        const QPoint none(-9, -9);
        QTest::newRow("empty file") << QByteArray() << 96 << none << -9 << -9 << -9;
        QTest::newRow("everything") << QByteArray("<PixelsPerInch>96</PixelsPerInch><NormPos>200,100,1,1</NormPos>"
                                                  "<pageNoteCharts_Tag>5</pageNoteCharts_Tag>"
                                                  "<listNotes4_Items><Item0>t</Item0><Item1>e</Item1>"
                                                  "<Count>2</Count></listNotes4_Items><grpInfo_Tag>1</grpInfo_Tag>")
                                    << 96 << QPoint(200, 100) << 5 << 2 << 1;
        QTest::newRow("this desktop's own position")
            << QByteArray("<NormPos_1920x1080_>300,200,0,0</NormPos_1920x1080_><NormPos>10,10,0,0</NormPos>") << 96
            << QPoint(300, 200) << -9 << -9 << -9;
        QTest::newRow("another desktop's position only")
            << QByteArray("<NormPos_2560x1440_>300,200,0,0</NormPos_2560x1440_><NormPos>10,20,0,0</NormPos>") << 96
            << QPoint(10, 20) << -9 << -9 << -9;
        QTest::newRow("other resolution") << QByteArray("<PixelsPerInch>120</PixelsPerInch><NormPos>200,100</NormPos>")
                                          << 96 << none << -9 << -9 << -9;
        QTest::newRow("off the monitor") << QByteArray("<NormPos>1500,100,0,0</NormPos>") << 96 << none << -9 << -9
                                         << -9;
        QTest::newRow("above the monitor")
            << QByteArray("<NormPos>100,-5,0,0</NormPos>") << 96 << none << -9 << -9 << -9;
        QTest::newRow("only the min/max positions")
            << QByteArray("<MinMaxPos>-1,-1,-1,-1</MinMaxPos>") << 96 << QPoint(40, 30) << -9 << -9 << -9;
        QTest::newRow("unreadable numbers")
            << QByteArray("<NormPos>x,y</NormPos>") << 96 << QPoint(40, 30) << -9 << -9 << -9;
        QTest::newRow("page out of range")
            << QByteArray("<pageNoteCharts_Tag>7</pageNoteCharts_Tag>") << 96 << none << -9 << -9 << -9;
        QTest::newRow("negative page") << QByteArray("<pageNoteCharts_Tag>-1</pageNoteCharts_Tag>") << 96 << none << -9
                                       << -9 << -9;
        QTest::newRow("unknown model") << QByteArray("<grpInfo_Tag>2</grpInfo_Tag>") << 96 << none << -9 << -9 << -9;
        QTest::newRow("chart without items")
            << QByteArray("<listNotes4_Items><Count>0</Count></listNotes4_Items>") << 96 << none << -9 << -9 << -9;
        QTest::newRow("chart count with missing items")
            << QByteArray("<listNotes4_Items><Item0>t</Item0><Count>3</Count></listNotes4_Items>") << 96 << none << -9
            << 3 << -9;
        QTest::newRow("absurd chart count")
            << QByteArray("<listNotes4_Items><Count>2000000000</Count></listNotes4_Items>") << 96 << none << -9 << 1024
            << -9;
    }
    void restore()
    {
        QFETCH(QByteArray, formMain);
        QFETCH(int, ppi);
        writeAll(file("restore.xml"),
                 "<?xml version=\"1.0\"?><Configuration><formMain>" + formMain + "</formMain></Configuration>");
        TSettingsFile s(file("restore.xml"));
        const TRestoredSettings r = s.RestoreSettings(placedAt(40, 30), fullHd(ppi));
        QTEST(r.Position.value_or(QPoint(-9, -9)), "position");
        QTEST(r.ChartPage.value_or(-9), "page");
        QTEST(r.CustomChart ? int(r.CustomChart->size()) : -9, "items");
        QTEST(r.Model.value_or(-9), "model");
        QVERIFY(s.RecoveryMessage().isEmpty());
    }

    void unreadableFileIsSetAside()
    {
        const QByteArray broken = "<Configuration><formMain></Configuration>";
        writeAll(file("broken.xml"), broken);
        {
            TSettingsFile s(file("broken.xml"));
            QVERIFY(s.RecoveryMessage().contains(QLatin1String("could not be read")));
            QVERIFY(s.Store().SetAsidePath().startsWith(home.filePath(QStringLiteral("data"))));
            QCOMPARE(readAll(s.Store().SetAsidePath()), broken);
            const TRestoredSettings r = s.RestoreSettings(placedAt(40, 30), fullHd());
            QVERIFY(!r.Position && !r.ChartPage && !r.CustomChart && !r.Model);
            s.SaveSettings(placedAt(40, 30), fullHd(), 2, kDefaultChart, 1);
        }
        QVERIFY(readAll(file("broken.xml")).contains("<pageNoteCharts_Tag>2</pageNoteCharts_Tag>"));
        TSettingsFile again(file("broken.xml"));
        QVERIFY(again.RecoveryMessage().isEmpty());
    }

    void readOnlyFileIsNeverWritten()
    {
        const QByteArray bytes = "<?xml version=\"1.0\"?><Configuration><formMain><pageNoteCharts_Tag>4"
                                 "</pageNoteCharts_Tag></formMain></Configuration>";
        writeAll(file("ro.xml"), bytes);
        QFile::setPermissions(file("ro.xml"), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        {
            TSettingsFile s(file("ro.xml"));
            QCOMPARE(s.RestoreSettings(placedAt(0, 0), fullHd()).ChartPage, 4);
            s.SaveSettings(placedAt(0, 0), fullHd(), 1, kDefaultChart, 0);
        }
        QCOMPARE(readAll(file("ro.xml")), bytes);
    }
};

QTEST_GUILESS_MAIN(SettingsFileTest)
#include "test_settings_file.moc"
