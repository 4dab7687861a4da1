// The value editor control: slider and field kept together, when it
// notifies, its limits, the mouse on the slider, typing and stepping,
// enabling, units and the layout pass.
#include "Modules/ValueEditFrame.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include <stdexcept>

using namespace zembrik;

namespace {

// An editor with a range, recording its notifications and the slider's
// position at each.
struct Editor {
    TValueEdit edit;
    QList<int> positionsAtChange;
    Editor(double min, double max, double value)
    {
        edit.resize(183, 42);
        edit.SetDecimalPlaces(0);
        edit.SetMax(max);
        edit.SetMin(min);
        edit.SetValue(value);
        QObject::connect(&edit, &TValueEdit::OnValueChange, &edit,
                         [this](QObject *) { positionsAtChange << edit.tbarValue->Position(); });
    }
    QString text() const { return edit.editValue->lineEdit()->text(); }
};

} // namespace

class ValueEditTest : public QObject {
    Q_OBJECT
private slots:
    void sliderFollowsTheValue_data()
    {
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("text");
        QTest::newRow("duration 50 ms") << 10.0 << 120.0 << 50.0 << 36 << "50";
        QTest::newRow("1 of 200: half to even, down") << 0.0 << 200.0 << 1.0 << 0 << "1";
        QTest::newRow("3 of 200: half to even, up") << 0.0 << 200.0 << 3.0 << 2 << "3";
        QTest::newRow("255 beyond max 127") << 0.0 << 127.0 << 255.0 << 100 << "127";
        QTest::newRow("min equals max") << 20.0 << 20.0 << 99.0 << 50 << "20";
    }
    void sliderFollowsTheValue()
    {
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(double, value);
        QFETCH(int, position);
        QFETCH(QString, text);
        Editor e(min, max, 0);
        e.edit.SetValue(value);
        QCOMPARE(e.edit.tbarValue->Position(), position);
        QCOMPARE(e.text(), text);
        QCOMPARE(e.edit.Value(), text.toDouble());
        QCOMPARE(e.edit.tbarValue->isEnabled(), min != max);
    }

    void draggingTheSliderSetsARoundedValue()
    {
        Editor e(10, 120, 50);
        e.edit.tbarValue->SetPosition(37); // 50.7
        QCOMPARE(e.text(), QStringLiteral("51"));
        QCOMPARE(e.edit.Value(), 51.0);
        QCOMPARE(e.edit.tbarValue->Position(), 37);
        QCOMPARE(e.positionsAtChange, QList<int>({37}));
    }

    // With min = max the slider is put back to the middle.
    void sliderWithoutARangeStaysInTheMiddle()
    {
        Editor e(20, 20, 20);
        e.edit.tbarValue->SetPosition(80);
        QCOMPARE(e.edit.tbarValue->Position(), 50);
        QCOMPARE(e.edit.Value(), 20.0);
        QVERIFY(e.positionsAtChange.isEmpty());
        // Enabling the control does not make the slider usable.
        e.edit.SetEnabled(false);
        e.edit.SetEnabled(true);
        QVERIFY(!e.edit.tbarValue->isEnabled());
    }

    void notifiesOnceForADifferentNumberAfterTheSliderMoved()
    {
        Editor e(10, 120, 50);
        e.edit.SetValue(50);
        e.edit.SetValue(50.2); // still shows 50
        QVERIFY(e.positionsAtChange.isEmpty());
        e.edit.SetValue(120);
        QCOMPARE(e.positionsAtChange, QList<int>({100}));
    }

    void aHandlerThatSetsTheValueIsNotReentered()
    {
        Editor e(10, 120, 50);
        int runs = 0;
        QObject::connect(&e.edit, &TValueEdit::OnValueChange, &e.edit, [&](QObject *sender) {
            ++runs;
            QCOMPARE(sender, &e.edit);
            e.edit.SetValue(e.edit.Value() - 7);
        });
        e.edit.SetValue(100);
        QCOMPARE(runs, 1);
        QCOMPARE(e.edit.Value(), 93.0);
        QCOMPARE(e.edit.tbarValue->Position(), 75);
        // The number the handler set was reported in the field: setting it
        // again is no change.
        e.edit.SetValue(93);
        QCOMPARE(runs, 1);
    }

    // Changing the range keeps the value (limited) and moves only the
    // slider; the value is not taken back from the slider's coarse scale.
    void changingTheRangeKeepsTheValue()
    {
        Editor e(0, 127, 16);
        e.edit.SetMax(200);
        QCOMPARE(e.edit.Value(), 16.0);
        QCOMPARE(e.edit.tbarValue->Position(), 8);
        QVERIFY(e.positionsAtChange.isEmpty());
        e.edit.SetMax(10); // limits the value
        QCOMPARE(e.edit.Value(), 10.0);
        QCOMPARE(e.positionsAtChange, QList<int>({100}));
    }

    void mouseOnTheSlider_data()
    {
        QTest::addColumn<bool>("rightEnd");
        QTest::newRow("left end is 0") << false;
        QTest::newRow("right end is 100") << true;
    }
    void mouseOnTheSlider()
    {
        QFETCH(bool, rightEnd);
        Editor e(0, 100, 50);
        TColorSlider *s = e.edit.tbarValue;
        const QPoint end(rightEnd ? s->width() - 1 : 0, s->height() / 2);
        QTest::mousePress(s, Qt::LeftButton, {}, end);
        QTest::mouseRelease(s, Qt::LeftButton, {}, end);
        QCOMPARE(s->Position(), rightEnd ? 100 : 0);
        QCOMPARE(e.edit.Value(), rightEnd ? 100.0 : 0.0);
        // The right button does nothing.
        QTest::mousePress(s, Qt::RightButton, {}, QPoint(s->width() / 2, 5));
        QCOMPARE(s->Position(), rightEnd ? 100 : 0);
    }

    void sliderRefusesPositionsOutsideItsRange()
    {
        Editor e(0, 100, 40);
        e.edit.tbarValue->SetPosition(101);
        e.edit.tbarValue->SetPosition(-1);
        QCOMPARE(e.edit.tbarValue->Position(), 40);
        QVERIFY(e.positionsAtChange.isEmpty());
    }

    void typedValueBeyondTheLimitIsCropped()
    {
        Editor e(10, 120, 50);
        QLineEdit *line = e.edit.editValue->lineEdit();
        line->selectAll();
        QTest::keyClicks(e.edit.editValue, QStringLiteral("999x"));
        QCOMPARE(line->text(), QStringLiteral("999")); // no letters
        QVERIFY(e.positionsAtChange.isEmpty());        // not while typing
        QTest::keyClick(e.edit.editValue, Qt::Key_Return);
        QCOMPARE(e.text(), QStringLiteral("120"));
        QCOMPARE(e.positionsAtChange, QList<int>({100}));
        line->clear(); // unreadable: counts as Min
        QTest::keyClick(e.edit.editValue, Qt::Key_Return);
        QCOMPARE(e.text(), QStringLiteral("10"));
    }

    void arrowsStepByTheIncrement()
    {
        Editor e(10, 120, 110);
        e.edit.SetIncrement(10);
        QTest::keyClick(e.edit.editValue, Qt::Key_Up);
        QCOMPARE(e.edit.Value(), 120.0);
        QTest::keyClick(e.edit.editValue, Qt::Key_Up); // stays at the limit
        QCOMPARE(e.positionsAtChange.size(), 1);
        QTest::keyClick(e.edit.editValue, Qt::Key_Down);
        QCOMPARE(e.edit.Value(), 110.0);
        // Wheel forward adds, backward subtracts.
        for (int delta : {-120, -120, 120}) {
            QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(e.edit.editValue, &wheel);
        }
        QCOMPARE(e.edit.Value(), 100.0);
    }

    void decimalPlacesOutOfRangeIsRefused()
    {
        Editor e(0, 10, 5);
        e.edit.SetDecimalPlaces(1);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, e.edit.SetDecimalPlaces(256));
        QCOMPARE(e.edit.DecimalPlaces(), 1);
        QCOMPARE(e.text(), QStringLiteral("5.0"));
    }

    void enabledAndReadOnly()
    {
        Editor e(0, 127, 5);
        e.edit.SetUnitsString(QStringLiteral("ms"));
        e.edit.SetEnabled(false);
        QVERIFY(!e.edit.Enabled());
        QVERIFY(!e.edit.editValue->isEnabled() && !e.edit.labelCaption->isEnabled());
        QVERIFY(!e.edit.tbarValue->isEnabled() && !e.edit.btnUnitsMenu->isEnabled());
        QVERIFY(e.edit.labelUnits->isEnabled() && e.edit.isEnabled());
        e.edit.SetReadOnly(true);
        e.edit.SetEnabled(true);
        QVERIFY(e.edit.editValue->isEnabled() && e.edit.editValue->isReadOnly());
        QVERIFY(!e.edit.tbarValue->isEnabled());
        QCOMPARE(e.edit.editValue->buttonSymbols(), QAbstractSpinBox::NoButtons);
        e.edit.SetReadOnly(false);
        QVERIFY(e.edit.tbarValue->isEnabled());
        QCOMPARE(e.edit.editValue->buttonSymbols(), QAbstractSpinBox::UpDownArrows);
    }

    void focusGoesToTheField()
    {
        QWidget window;
        auto *other = new QLineEdit(&window);
        auto *edit = new TValueEdit(&window);
        edit->move(0, 30);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
        QVERIFY(edit->editValue->hasFocus());
        other->setFocus();
        edit->SetEnabled(false);
        edit->setFocus();
        QVERIFY(!edit->editValue->hasFocus());
    }

    void unitsMenu()
    {
        Editor e(0, 127, 5);
        e.edit.SetUnitsList({QStringLiteral("ms"), QStringLiteral("Ticks")});
        QVERIFY(!e.edit.btnUnitsMenu->isHidden());
        QVERIFY(e.edit.labelUnits->isHidden());
        QMenu *menu = e.edit.btnUnitsMenu->menu();
        QVERIFY(menu);
        QCOMPARE(menu->actions().size(), 2);
        for (QAction *a : menu->actions())
            QVERIFY(a->isCheckable() && !a->isChecked());
        menu->actions().at(1)->trigger();
        QCOMPARE(e.edit.UnitsString(), QStringLiteral("Ticks"));
        QVERIFY(e.positionsAtChange.isEmpty());
        e.edit.SetUnitsString(QStringLiteral("TICKS"));
        QCOMPARE(e.edit.UnitsListIndex(), 1);
        e.edit.SetUnitsListIndex(5); // ignored
        QCOMPARE(e.edit.UnitsString(), QStringLiteral("TICKS"));
        e.edit.SetUnitsListIndex(0);
        QCOMPARE(e.edit.UnitsString(), QStringLiteral("ms"));
        e.edit.SetUnitsList({});
        QVERIFY(e.edit.btnUnitsMenu->isHidden() && !e.edit.btnUnitsMenu->menu());
        QVERIFY(!e.edit.labelUnits->isHidden());
        QCOMPARE(e.edit.UnitsListIndex(), -1);
    }

    void layoutEdges_data()
    {
        QTest::addColumn<bool>("showUnits");
        QTest::newRow("units shown: field ends 2 px left of them") << true;
        QTest::newRow("units hidden: field reaches 2 px from the edge") << false;
    }
    void layoutEdges()
    {
        QFETCH(bool, showUnits);
        Editor e(0, 127, 5);
        e.edit.SetCaption(QStringLiteral("Velocity:"));
        e.edit.SetUnitsString(QStringLiteral("millisecs"));
        e.edit.SetShowUnits(showUnits);
        const QRect field = e.edit.editValue->geometry();
        QCOMPARE(field.left(), e.edit.labelCaption->geometry().right() + 1 + 2);
        QCOMPARE(e.edit.labelUnits->isHidden(), !showUnits);
        const int rightLimit = showUnits ? e.edit.labelUnits->x() : e.edit.width();
        QCOMPARE(field.right() + 1, rightLimit - 2);
        QCOMPARE(e.edit.height(), 42);
        QCOMPARE(e.edit.tbarValue->width(), e.edit.width());
        e.edit.SetShowSlider(false);
        QCOMPARE(e.edit.height(), 22);
    }
};

QTEST_MAIN(ValueEditTest)
#include "test_value_edit.moc"
