// The value editor's arithmetic without widgets: slider positions, rounding
// and text of the numeric field, its limits and when it reports a change.
#include "Modules/ValueEditModel.h"

#include <QTest>

#include <stdexcept>

using namespace zembrik::valueedit;

class ValueEditModelTest : public QObject {
    Q_OBJECT
private slots:
    void valueToPosition_data()
    {
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("position");
        QTest::newRow("duration 50 ms") << 10.0 << 120.0 << 50.0 << 36;
        QTest::newRow("duration 51 ms") << 10.0 << 120.0 << 51.0 << 37;
        QTest::newRow("half goes down to even") << 0.0 << 200.0 << 1.0 << 0;
        QTest::newRow("half goes up to even") << 0.0 << 200.0 << 3.0 << 2;
        QTest::newRow("lower end") << 0.0 << 127.0 << 0.0 << 0;
        QTest::newRow("upper end") << 0.0 << 127.0 << 127.0 << 100;
        QTest::newRow("min equals max") << 5.0 << 5.0 << 80.0 << 50;
    }
    void valueToPosition()
    {
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(double, value);
        QFETCH(int, position);
        QCOMPARE(ValueToPosition(value, min, max), position);
    }

    void positionToValue()
    {
        QCOMPARE(PositionToValue(37, 10, 120), 50.7);
        QCOMPARE(PositionToValue(0, 10, 120), 10.0);
        QCOMPARE(PositionToValue(100, 10, 120), 120.0);
        QCOMPARE(PositionToValue(30, 7, 7), 7.0);
    }

    void pixelToPosition()
    {
        QCOMPARE(PixelToPosition(5, 5, 105), 0);
        QCOMPARE(PixelToPosition(105, 5, 105), 100);
        QCOMPARE(PixelToPosition(42, 5, 105), 37);
        QCOMPARE(PixelToPosition(-20, 5, 105), 0); // dragged past the ends
        QCOMPARE(PixelToPosition(400, 5, 105), 100);
        QCOMPARE(PositionToPixel(37, 5, 105), 42);
    }

    void formatting_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text");
        QTest::newRow("half away from zero") << 50.5 << 0 << "51";
        QTest::newRow("negative half away from zero") << -2.5 << 0 << "-3";
        QTest::newRow("two decimals") << 1.25 << 1 << "1.3";
        QTest::newRow("fills the decimals") << 3.0 << 3 << "3.000";
        QTest::newRow("no thousands separator") << 1234567.0 << 0 << "1234567";
        QTest::newRow("no negative zero") << -0.2 << 0 << "0";
        QTest::newRow("many decimals") << 0.5 << 20 << "0.50000000000000000000";
    }
    void formatting()
    {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(QString, text);
        QCOMPARE(FormatValue(value, decimals), text);
    }

    void roundHalfEven()
    {
        QCOMPARE(RoundHalfEven(0.5), 0.0);
        QCOMPARE(RoundHalfEven(1.5), 2.0);
        QCOMPARE(RoundHalfEven(2.5), 2.0);
        QCOMPARE(RoundHalfEven(-1.5), -2.0);
        QCOMPARE(RoundHalfEven(126.6), 127.0);
    }

    void fieldLimits_data()
    {
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<double>("put");
        QTest::addColumn<double>("held");
        QTest::newRow("above max") << 0.0 << 127.0 << 255.0 << 127.0;
        QTest::newRow("below min") << 10.0 << 120.0 << -10.0 << 10.0;
        QTest::newRow("both zero: no limits") << 0.0 << 0.0 << -500.0 << -500.0;
        QTest::newRow("only max set") << 0.0 << 5.0 << 9.0 << 5.0;
        QTest::newRow("rounded to the decimals") << 10.0 << 120.0 << 50.7 << 51.0;
    }
    void fieldLimits()
    {
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(double, put);
        QFETCH(double, held);
        TValueField f;
        f.SetMax(max);
        f.SetMin(min);
        f.Put(put);
        QCOMPARE(f.Value(), held);
    }

    // The field reports a change only when the number differs from the one
    // it last reported.
    void changeIsReportedOnlyForADifferentNumber()
    {
        TValueField f;
        f.SetMax(120);
        QVERIFY(f.SetMin(10)); // 0 is limited to 10
        QVERIFY(f.Put(50));
        QVERIFY(!f.Put(50));
        QVERIFY(!f.Put(50.4)); // still shows 50
        QVERIFY(f.Put(500));
        QCOMPARE(f.Value(), 120.0);
        QVERIFY(!f.Put(130)); // limited to 120 again
        f.SetIncrement(10);
        QVERIFY(!f.Step(1)); // 120 stays 120
        QVERIFY(f.Step(-1));
        QCOMPARE(f.Value(), 110.0);
    }

    void typedText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("held");
        QTest::newRow("a number") << "57" << 57.0;
        QTest::newRow("beyond the limit is cropped") << "999" << 120.0;
        QTest::newRow("below the limit is cropped") << "3" << 10.0;
        QTest::newRow("empty counts as min") << "" << 10.0;
        QTest::newRow("a sign alone counts as min") << "-" << 10.0;
    }
    void typedText()
    {
        QFETCH(QString, text);
        QFETCH(double, held);
        TValueField f;
        f.SetMax(120);
        f.SetMin(10);
        f.Put(50);
        f.PutText(text);
        QCOMPARE(f.Value(), held);
    }

    void charactersThatMayFormANumber()
    {
        for (const char *ok : {"", "-", "+1", "12.", ".5", "1e", "1e-3"})
            QVERIFY2(TValueField::MayFormNumber(QString::fromLatin1(ok)), ok);
        for (const char *bad : {"a", "1,000", "1 2", "--1", "1.2.3"})
            QVERIFY2(!TValueField::MayFormNumber(QString::fromLatin1(bad)), bad);
    }

    void decimalPlacesOutOfRangeChangesNothing()
    {
        TValueField f;
        f.SetDecimalPlaces(2);
        f.Put(1.25);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, f.SetDecimalPlaces(-1));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, f.SetDecimalPlaces(256));
        QCOMPARE(f.DecimalPlaces(), 2);
        QCOMPARE(f.Text(), QStringLiteral("1.25"));
        f.SetDecimalPlaces(255);
        QCOMPARE(f.Text().size(), 2 + 255);
    }
};

QTEST_GUILESS_MAIN(ValueEditModelTest)
#include "test_value_edit_model.moc"
