// Controller reports as the drum test and the diagnostics page read them:
// the pad decoder, hit counting, the waterfall's lines and the decoding of
// the box's switches, knob and buttons.
#include "Modules/GeneralLib.h"
#include "monitor/Diagnostics.h"
#include "monitor/DrumTest.h"

#include <QTest>

using namespace zembrik;

namespace {

QString flags(const TDrumPadStates &s)
{
    QStringList on;
    const std::pair<bool, const char *> all[] = {
        {s.RedPad, "RedPad"},           {s.BluePad, "BluePad"},           {s.YellowPad, "YellowPad"},
        {s.GreenPad, "GreenPad"},       {s.BlueCymbal, "BlueCymbal"},     {s.YellowCymbal, "YellowCymbal"},
        {s.GreenCymbal, "GreenCymbal"}, {s.OrangeCymbal, "OrangeCymbal"}, {s.Kick, "Kick"}};
    for (auto [set, name] : all)
        if (set)
            on << QLatin1String(name);
    return on.join(QLatin1Char(' '));
}

QByteArray report(std::initializer_list<int> bytes)
{
    QByteArray r(64, '\0');
    int i = 0;
    for (int b : bytes)
        r[i++] = static_cast<char>(b);
    return r;
}

// The colour of pixel x of a waterfall line as "r,g,b".
QString pixel(const TWaterfall &w, int y, int x)
{
    const uchar *p = w.Line(y) + 3 * x;
    return QStringLiteral("%1,%2,%3").arg(p[0]).arg(p[1]).arg(p[2]);
}

} // namespace

class DrumTestTest : public QObject {
    Q_OBJECT
private slots:
    void decodeDrumPads_data()
    {
        QTest::addColumn<int>("b0");
        QTest::addColumn<int>("b1");
        QTest::addColumn<int>("b2");
        QTest::addColumn<bool>("guitarHero");
        QTest::addColumn<QString>("lit");
        QTest::newRow("RB yellow with pad flag") << 0x08 << 0x04 << 8 << false << "YellowPad";
        QTest::newRow("RB yellow with cymbal flag") << 0x08 << 0x08 << 8 << false << "YellowCymbal";
        QTest::newRow("RB yellow with both flags: pad and cymbal")
            << 0x08 << 0x0C << 8 << false << "YellowPad YellowCymbal";
        QTest::newRow("RB blue with both flags") << 0x01 << 0x0C << 8 << false << "BluePad BlueCymbal";
        QTest::newRow("RB green with both flags") << 0x02 << 0x0C << 8 << false << "GreenPad GreenCymbal";
        QTest::newRow("RB red alone with both flags") << 0x04 << 0x0C << 8 << false << "RedPad";
        QTest::newRow("RB red and yellow, both flags: red pad, yellow cymbal")
            << 0x0C << 0x0C << 8 << false << "RedPad YellowCymbal";
        QTest::newRow("RB yellow and blue, both flags, direction 4: blue cymbal")
            << 0x09 << 0x0C << 4 << false << "YellowPad BlueCymbal";
        QTest::newRow("RB yellow and blue, both flags, direction 0: yellow cymbal")
            << 0x09 << 0x0C << 0 << false << "BluePad YellowCymbal";
        QTest::newRow("RB yellow and blue, both flags, direction 8: green cymbal")
            << 0x09 << 0x0C << 8 << false << "YellowPad GreenCymbal";
        QTest::newRow("RB both flags without a colour: green cymbal") << 0x00 << 0x0C << 8 << false << "GreenCymbal";
        QTest::newRow("RB colours without flags: nothing") << 0x0F << 0x00 << 8 << false << "";
        QTest::newRow("RB kick without flags") << 0x1F << 0x00 << 8 << false << "Kick";
        QTest::newRow("RB red needs the pad flag") << 0x04 << 0x08 << 8 << false << "";
        QTest::newRow("RB all pads") << 0x1F << 0x04 << 8 << false << "RedPad BluePad YellowPad GreenPad Kick";
        QTest::newRow("GH orange cymbal") << 0x20 << 0x00 << 8 << true << "OrangeCymbal";
        QTest::newRow("GH every bit") << 0x3F << 0x0C << 0 << true
                                      << "RedPad BluePad GreenPad YellowCymbal OrangeCymbal Kick";
    }
    void decodeDrumPads()
    {
        QFETCH(int, b0);
        QFETCH(int, b1);
        QFETCH(int, b2);
        QFETCH(bool, guitarHero);
        QFETCH(QString, lit);
        const QByteArray r = report({b0, b1, b2});
        QCOMPARE(flags(DecodeDrumPads(reinterpret_cast<const quint8 *>(r.constData()), guitarHero)), lit);
    }

    void aHeldPadCountsOnce()
    {
        TPadLamp lamp;
        for (int i = 0; i < 10; ++i)
            lamp.Show(true);
        QCOMPARE(lamp.Hits, 1);
        QVERIFY(lamp.Lit);
        QVERIFY(!lamp.Show(false));
        QVERIFY(!lamp.Lit);
        QVERIFY(lamp.Show(true));
        QCOMPARE(lamp.Hits, 2);
        // Reset while lit: the next pressed report does not count again.
        lamp.Hits = 0;
        QVERIFY(!lamp.Show(true));
        QCOMPARE(lamp.Hits, 0);
    }

    void theWaterfallMovesUpOneLinePerReport()
    {
        TWaterfall w;
        QVERIFY(!w.Exists());
        TDrumPadStates red;
        red.RedPad = true;
        w.Advance(red, false);
        QVERIFY(w.Exists());
        const int bottom = TWaterfall::kHeight - 1;
        QCOMPARE(pixel(w, bottom, 0), QStringLiteral("255,0,0"));
        QCOMPARE(pixel(w, bottom, 31), QStringLiteral("255,0,0"));
        QCOMPARE(pixel(w, bottom, 32), QStringLiteral("0,0,0"));
        QCOMPARE(pixel(w, bottom - 1, 0), QStringLiteral("0,0,0"));
        w.Advance({}, false);
        QCOMPARE(pixel(w, bottom, 0), QStringLiteral("0,0,0"));
        QCOMPARE(pixel(w, bottom - 1, 0), QStringLiteral("255,0,0"));
        // After a full height of lines the hit has left at the top.
        for (int i = 0; i < TWaterfall::kHeight - 2; ++i)
            w.Advance({}, false);
        QCOMPARE(pixel(w, 0, 0), QStringLiteral("255,0,0"));
        w.Advance({}, false);
        for (int y = 0; y < TWaterfall::kHeight; ++y)
            QCOMPARE(pixel(w, y, 0), QStringLiteral("0,0,0"));
    }

    void waterfallLanes_data()
    {
        QTest::addColumn<bool>("guitarHero");
        QTest::addColumn<QStringList>("lanes"); // colour at the lane's left, then its centre
        QTest::newRow("Rock Band, every flag")
            << false << QStringList{"255,0,0", "255,0,0", "255,255,0", "255,255,0", "0,0,255",   "0,0,255",
                                    "0,255,0", "0,255,0", "255,100,0", "255,100,0", "255,255,0", "255,0,0",
                                    "0,0,255", "255,0,0", "0,255,0",   "255,0,0"};
        QTest::newRow("Guitar Hero, every flag: the last two lanes stay black")
            << true << QStringList{"255,0,0",   "255,0,0",   "255,255,0", "255,255,0", "0,0,255",   "0,0,255",
                                   "255,100,0", "255,100,0", "0,255,0",   "0,255,0",   "128,0,128", "128,0,128",
                                   "0,0,0",     "0,0,0",     "0,0,0",     "0,0,0"};
    }
    void waterfallLanes()
    {
        QFETCH(bool, guitarHero);
        QFETCH(QStringList, lanes);
        TDrumPadStates all{true, true, true, true, true, true, true, true, true};
        TWaterfall w;
        w.Advance(all, guitarHero);
        QStringList shown;
        for (int lane = 0; lane < 8; ++lane)
            shown << pixel(w, TWaterfall::kHeight - 1, 32 * lane) << pixel(w, TWaterfall::kHeight - 1, 32 * lane + 16);
        QCOMPARE(shown, lanes);
    }

    void diagnostics_data()
    {
        QTest::addColumn<QByteArray>("report");
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("console");
        QTest::addColumn<QString>("shown");
        // "home back start | nav icon | buttons | knob dial mode function"
        QTest::newRow("centred, nothing pressed")
            << report({0x00, 0x00, 8}) << 0 << 0 << "h0 b0 s0 | CENTERED 0 | 00000 | 0 0 1 1";
        QTest::newRow("every button on the Playstation")
            << report({0x1F, 0x13, 8}) << 0 << 0 << "h1 b1 s1 | SELECT 5 | 11111 | 0 0 1 1";
        QTest::newRow("direction replaces SELECT")
            << report({0x00, 0x01, 0}) << 0 << 0 << "h0 b0 s0 | UP 1 | 00000 | 0 0 1 1";
        QTest::newRow("right") << report({0x00, 0x00, 2}) << 0 << 0 << "h0 b0 s0 | RIGHT 4 | 00000 | 0 0 1 1";
        QTest::newRow("down") << report({0x00, 0x00, 4}) << 0 << 0 << "h0 b0 s0 | DOWN 2 | 00000 | 0 0 1 1";
        QTest::newRow("left") << report({0x00, 0x00, 6}) << 0 << 0 << "h0 b0 s0 | LEFT 3 | 00000 | 0 0 1 1";
        QTest::newRow("odd direction") << report({0x00, 0x00, 3}) << 0 << 0 << "h0 b0 s0 | ? 0 | 00000 | 0 0 1 1";
        QTest::newRow("direction above 8 with press")
            << report({0x00, 0x01, 9}) << 0 << 0 << "h0 b0 s0 | ? 0 | 00000 | 0 0 1 1";
        QTest::newRow("Wii: Back, Start and press from other bits; Home untouched")
            << report({0x02, 0x13, 8}) << 0 << 1 << "h- b1 s1 | SELECT 5 | 00010 | 0 0 1 1";
        QTest::newRow("Wii: the red button is not Back")
            << report({0x04, 0x00, 8}) << 0 << 1 << "h- b0 s0 | CENTERED 0 | 10000 | 0 0 1 1";
        QTest::newRow("knob full, Program 1, Function B")
            << report({0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0}) << 0 << 0
            << "h0 b0 s0 | CENTERED 0 | 00000 | 255 100 1 1";
        QTest::newRow("knob half, Program 2, Function A")
            << report({0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 128, 1, 1}) << 0 << 0
            << "h0 b0 s0 | CENTERED 0 | 00000 | 128 50 0 0";
        QTest::newRow("Play, unknown function") << report({0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 2}) << 0
                                                << 0 << "h0 b0 s0 | CENTERED 0 | 00000 | 1 0 2 -1";
        QTest::newRow("mode 3 selects nothing") << report({0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0}) << 0
                                                << 0 << "h0 b0 s0 | CENTERED 0 | 00000 | 0 0 -1 1";
        QTest::newRow("second model: nav and buttons only")
            << report({0x1F, 0x13, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 200, 1, 1}) << 1 << 0
            << "h1 b1 s1 | SELECT 5 | - | -";
    }
    void diagnostics()
    {
        QFETCH(QByteArray, report);
        QFETCH(int, model);
        QFETCH(int, console);
        QFETCH(QString, shown);
        const TDiagnosticsView v =
            DecodeDiagnostics(reinterpret_cast<const quint8 *>(report.constData()), model, console);
        QString buttons;
        for (bool b : v.Buttons)
            buttons += b ? QLatin1Char('1') : QLatin1Char('0');
        const QString leds = QStringLiteral("h%1 b%2 s%3")
                                 .arg(v.Home ? QString::number(*v.Home) : QStringLiteral("-"))
                                 .arg(int(v.Back))
                                 .arg(int(v.Start));
        const QString base = v.BaseModel ? QStringLiteral("%1 | %2 %3 %4 %5")
                                               .arg(buttons)
                                               .arg(v.Knob)
                                               .arg(v.Dial)
                                               .arg(v.ModeItem)
                                               .arg(v.FunctionItem)
                                         : QStringLiteral("- | -");
        QCOMPARE(QStringLiteral("%1 | %2 %3 | %4").arg(leds, v.NavText).arg(v.NavIcon).arg(base), shown);
    }
};

QTEST_GUILESS_MAIN(DrumTestTest)
#include "test_drum_test.moc"
