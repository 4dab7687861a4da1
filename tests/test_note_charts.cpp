// The chart tables, the note an item carries, tagged text, and the custom
// chart's round trip between list items and editor rows.
#include "Modules/GeneralLib.h"
#include "charts/ChartEditing.h"
#include "charts/NoteCharts.h"
#include "charts/TaggedText.h"

#include <QTest>

using namespace zembrik;

Q_DECLARE_METATYPE(QList<zembrik::TChartRow>)

class NoteChartsTest : public QObject {
    Q_OBJECT
private slots:
    void chartTables_data()
    {
        QTest::addColumn<int>("chart");
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::newRow("generic") << 0 << "listNotes0" << 23 << "<U><B>Typical Drum Notes*</B></U>"
                                 << "<I>* may vary with drum model</I>";
        QTest::newRow("DTXplorer") << 1 << "listNotes1" << 17 << "<U><B>Yamaha DTXplorer</B></U>"
                                   << "<FONT COLOR=clBLUE>55</FONT> Option";
        QTest::newRow("DD65") << 2 << "listNotes2" << 12 << "<U><B>Yamaha DD65 (Kit 1)</B></U>"
                              << "<FONT COLOR=clBLUE>44</FONT> Pedal 2 Close";
        QTest::newRow("TD-6") << 3 << "listNotes3" << 20 << "<U><B>Roland TD-6</B></U>"
                              << "<FONT COLOR=clBLUE>36</FONT> Kick";
        QTest::newRow("HD-1") << 4 << "JvHTListBox1" << 11 << "<U><B>Roland HD-1</B></U>"
                              << "<FONT COLOR=clBLUE>44</FONT> Hi-Hat Pedal";
        QTest::newRow("TD-20") << 5 << "listNotesTD20" << 33 << "<U><B>Roland TD-20</B></U>"
                               << "<FONT COLOR=clBLUE>59</FONT> Ride-Edge (rim)";
        QTest::newRow("custom") << 6 << "listNotes4" << 1 << "<U><B>Custom Chart</B></U>"
                                << "<U><B>Custom Chart</B></U>";
    }
    void chartTables()
    {
        QFETCH(int, chart);
        const TChart &c = NoteCharts().at(chart);
        const QStringList items = ChartItems(c);
        QTEST(c.list, "list");
        QTEST(int(items.size()), "count");
        QTEST(items.first(), "first");
        QTEST(items.last(), "last");
    }

    void textsAsTheKitsHaveThem()
    {
        QCOMPARE(ChartItems(NoteCharts().at(3)).at(8), QStringLiteral("<FONT COLOR=clBLUE>51</FONT> Ride "));
        QCOMPARE(ChartItems(NoteCharts().at(4)).at(7), QStringLiteral("<FONT COLOR=clBLUE>51</FONT> Ride "));
        QCOMPARE(ChartItems(NoteCharts().at(5)).at(15), QStringLiteral("<FONT COLOR=clBLUE>40</FONT> Share (rim)"));
        QCOMPARE(ChartItems(NoteCharts().at(1)).at(14),
                 QStringLiteral("<FONT COLOR=clBLUE>85</FONT> Hi-Hat Pedal Splash"));
        QStringList captions;
        for (const TChart &c : NoteCharts())
            captions << c.caption;
        QCOMPARE(captions, QStringList({"Generic Drums", "Yamaha DTXplorer", "Yamaha DD65", "Roland TD-6",
                                        "Roland HD-1", "Roland TD-20", "Custom"}));
    }

    void noteOfItem_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("note");
        QTest::newRow("entry") << "<FONT COLOR=clBLUE>85</FONT> Hi-Hat Pedal Splash" << 85;
        QTest::newRow("title") << "<U><B>Roland TD-20</B></U>" << -1;
        QTest::newRow("footer") << "<I>* may vary with drum model</I>" << -1;
        QTest::newRow("minus one") << "<FONT COLOR=clBLUE>-1</FONT> x" << -1;
        QTest::newRow("not a number") << "<FONT COLOR=clBLUE>abc</FONT> x" << -1;
        QTest::newRow("empty number") << "<FONT COLOR=clBLUE></FONT> x" << -1;
        QTest::newRow("no tags") << "38 Snare" << -1;
        QTest::newRow("zero") << "<FONT COLOR=clBLUE>0</FONT> " << 0;
    }
    void noteOfItem()
    {
        QFETCH(QString, item);
        QTEST(NoteOfItem(item), "note");
    }

    void findItemForNote()
    {
        const QStringList items = ChartItems(NoteCharts().at(5));
        QCOMPARE(FindItemForNote(items, 38), 13);
        QCOMPARE(FindItemForNote(items, 3), -1); // no partial match on 38 or 36
        QCOMPARE(FindItemForNote(items, 255), -1);
    }

    void innerTextOfTag_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("inner");
        QTest::newRow("title") << "B"
                               << "<U><B>Custom Chart</B></U>"
                               << "Custom Chart";
        QTest::newRow("entry") << "FONT"
                               << "<FONT COLOR=clBLUE>38</FONT> Snare"
                               << "38";
        QTest::newRow("plain") << "B"
                               << "no tags here"
                               << "no tags here";
        QTest::newRow("end tag in lower case") << "B"
                                               << "<B>x</b>"
                                               << "x";
        QTest::newRow("start tag in lower case") << "B"
                                                 << "<u><b>T</b></u>"
                                                 << "<b>T";
        QTest::newRow("no end tag") << "FONT"
                                    << "<FONT COLOR=clBLUE>38 Snare"
                                    << "38 Snare";
    }
    void innerTextOfTag()
    {
        QFETCH(QString, tag);
        QFETCH(QString, text);
        QTEST(InnerTextOfTag(tag, text), "inner");
    }

    void taggedText_data()
    {
        QTest::addColumn<QString>("tagged");
        QTest::addColumn<QString>("rich");
        QTest::newRow("title") << "<U><B>T</B></U>"
                               << "<u><b>T</b></u>";
        QTest::newRow("entry") << "<FONT COLOR=clBLUE>38</FONT> Snare"
                               << "<span style=\"color:#0000ff\">38</span> Snare";
        QTest::newRow("lower case") << "<font color=clblue>1</font><i>x</i><br>y<BR>"
                                    << "<span style=\"color:#0000ff\">1</span><i>x</i><br>y"; // no empty last line
        QTest::newRow("other text escaped") << "a<b & <X> \"q\""
                                            << "a&lt;b &amp; &lt;X&gt; &quot;q&quot;";
        QTest::newRow("blanks kept") << "a  b"
                                     << "a&nbsp; b";
    }
    void taggedText()
    {
        QFETCH(QString, tagged);
        QTEST(TaggedToRichText(tagged), "rich");
    }

    void taggedTextWithoutColours()
    {
        QCOMPARE(TaggedToRichText(QStringLiteral("<FONT COLOR=clBLUE>38</FONT> Snare"), false),
                 QStringLiteral("<span>38</span> Snare"));
    }

    // Items -> editor rows -> items.
    void roundTrip_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QList<TChartRow>>("rows");
        QTest::addColumn<QStringList>("back");
        QTest::newRow("title only") << QStringList{"<U><B>Custom Chart</B></U>"} << "Custom Chart" << QList<TChartRow>{}
                                    << QStringList{"<U><B>Custom Chart</B></U>", "<FONT COLOR=clBLUE>0</FONT> "};
        QTest::newRow("empty entry") << QStringList{"<U><B>C</B></U>", "<FONT COLOR=clBLUE>0</FONT> "} << "C"
                                     << QList<TChartRow>{{"0", ""}}
                                     << QStringList{"<U><B>C</B></U>", "<FONT COLOR=clBLUE>0</FONT> "};
        QTest::newRow("entry") << QStringList{"<U><B>K</B></U>", "<FONT COLOR=clBLUE>38</FONT> Snare"} << "K"
                               << QList<TChartRow>{{"38", "Snare"}}
                               << QStringList{"<U><B>K</B></U>", "<FONT COLOR=clBLUE>38</FONT> Snare"};
        QTest::newRow("blanks") << QStringList{"<U><B>K</B></U>", "<FONT COLOR=clBLUE>51</FONT>  Ride  bow \t"} << "K"
                                << QList<TChartRow>{{"51", "Ride  bow"}}
                                << QStringList{"<U><B>K</B></U>", "<FONT COLOR=clBLUE>51</FONT> Ride  bow"};
        QTest::newRow("tags in a description")
            << QStringList{"<U><B>K</B></U>", "<FONT COLOR=clBLUE>36</FONT> <B>Kick</B> pedal"} << "K"
            << QList<TChartRow>{{"36", "pedal"}}
            << QStringList{"<U><B>K</B></U>", "<FONT COLOR=clBLUE>36</FONT> pedal"};
        QTest::newRow("empty list") << QStringList{} << "Custom Chart" << QList<TChartRow>{}
                                    << QStringList{"<U><B>Custom Chart</B></U>", "<FONT COLOR=clBLUE>0</FONT> "};
    }
    void roundTrip()
    {
        QFETCH(QStringList, items);
        const TChartTable t = ChartToTable(items);
        QTEST(t.title, "title");
        QTEST(t.rows, "rows");
        QTEST(TableToChart(t), "back");
    }

    void keysToNumbers_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("item");
        QTest::newRow("leading zero") << "038"
                                      << "<FONT COLOR=clBLUE>38</FONT> d";
        QTest::newRow("not a number") << "Tom"
                                      << "<FONT COLOR=clBLUE>0</FONT> d";
        QTest::newRow("empty") << ""
                               << "<FONT COLOR=clBLUE>0</FONT> d";
        QTest::newRow("negative") << "-1"
                                  << "<FONT COLOR=clBLUE>-1</FONT> d";
    }
    void keysToNumbers()
    {
        QFETCH(QString, key);
        QTEST(TableToChart({QStringLiteral("T"), {{key, QStringLiteral("d")}}}).at(1), "item");
    }

    void keyRules()
    {
        const QList<TChartRow> rows{{"38", "Snare"}, {"Tom", "x"}, {"", ""}};
        QCOMPARE(KeyRefusal(rows, 2, "4=2"), QStringLiteral("Key may not contain equals sign (\"=\")"));
        QCOMPARE(KeyRefusal(rows, 2, "TOM"), QStringLiteral("A key with the name of \"TOM\" already exists"));
        QCOMPARE(KeyRefusal(rows, 1, "tom"), QString()); // its own row
        QCOMPARE(KeyRefusal(rows, 2, ""), QString());
        QCOMPARE(KeyRefusal(rows, 2, "038"), QString()); // a different key ...
        // ... but the same number: refused when the table is confirmed.
        QCOMPARE(RepeatedNumberRefusal({{"38", "a"}, {"038", "b"}}),
                 QStringLiteral("A key with the name of \"038\" already exists"));
        QCOMPARE(RepeatedNumberRefusal({{"a", "a"}, {"b", "b"}}),
                 QStringLiteral("A key with the name of \"b\" already exists"));
        QCOMPARE(RepeatedNumberRefusal({{"38", "a"}, {"", ""}, {"39", "b"}}), QString());
    }
};

QTEST_GUILESS_MAIN(NoteChartsTest)
#include "test_note_charts.moc"
