// TValueEdit: the program's control for one number — a caption, a numeric
// field with spin buttons, an optional colour slider under the field, and an
// optional units text or units drop-down menu.  It raises OnValueChange
// whenever the number changes, whatever changed it: typing (on Enter or when
// the field loses the focus), the arrows, spin buttons and wheel, the slider
// or the program.  The arithmetic lives in ValueEditModel; this unit holds
// the widgets.  Owned by the page that places it; UI thread only.
#pragma once

#include "Modules/ValueEditModel.h"

#include <QAbstractSpinBox>
#include <QColor>
#include <QStringList>
#include <QWidget>

class QActionGroup;
class QLabel;
class QMenu;
class QToolButton;

namespace zembrik {

// The horizontal colour slider, 0..100: a bar filled with a ramp from the
// start colour (left) to the end colour (right), an arrow and a line at the
// position.  The left mouse button sets the position from the mouse's place
// on the bar.
class TColorSlider : public QWidget {
    Q_OBJECT
public:
    explicit TColorSlider(QWidget *parent = nullptr);
    int Position() const { return position_; }
    // Outside 0..100, or equal to the current position: nothing happens.
    // Otherwise PosChange is emitted.
    void SetPosition(int p);
    QColor StartColor() const { return start_; }
    void SetStartColor(const QColor &c);
    QColor EndColor() const { return end_; }
    void SetEndColor(const QColor &c);
    // The pixels of position 0 and 100.
    int BarLeft() const;
    int BarRight() const;

signals:
    void PosChange();

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;

private:
    int position_ = valueedit::kSliderCentre;
    QColor start_{Qt::black};
    QColor end_{Qt::white};
};

// The numeric field: fixed decimals, limits, steps by the increment.  Typed
// text takes effect on Enter and when the field loses the focus.
class TNumberField : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit TNumberField(QWidget *parent = nullptr);
    using QAbstractSpinBox::lineEdit;
    valueedit::TValueField &Model() { return model_; }
    const valueedit::TValueField &Model() const { return model_; }
    double Value() const { return model_.Value(); }
    // Puts v into the field; emits Change when the number differs from the
    // one last reported.
    void PutValue(double v);
    // Applies what the model holds to the text, and reports when `changed`.
    void Apply(bool changed);
    // Takes the typed text as the value.
    void CommitText();

    void stepBy(int steps) override;
    QValidator::State validate(QString &input, int &pos) const override;

signals:
    void Change();

protected:
    StepEnabled stepEnabled() const override;

private:
    valueedit::TValueField model_;
};

class TValueEdit : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor BarBackgndColor READ BarBackgndColor WRITE SetBarBackgndColor)
    Q_PROPERTY(QColor BarTrackColor READ BarTrackColor WRITE SetBarTrackColor)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int DecimalPlaces READ DecimalPlaces WRITE SetDecimalPlaces)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(double Increment READ Increment WRITE SetIncrement)
    Q_PROPERTY(double Max READ Max WRITE SetMax)
    Q_PROPERTY(double Min READ Min WRITE SetMin)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(bool ShowArrowButton READ ShowArrowButton WRITE SetShowArrowButton)
    Q_PROPERTY(bool ShowSlider READ ShowSlider WRITE SetShowSlider)
    Q_PROPERTY(bool ShowUnits READ ShowUnits WRITE SetShowUnits)
    Q_PROPERTY(QStringList UnitsList READ UnitsList WRITE SetUnitsList)
    Q_PROPERTY(int UnitsListIndex READ UnitsListIndex WRITE SetUnitsListIndex)
    Q_PROPERTY(QString UnitsString READ UnitsString WRITE SetUnitsString)
    Q_PROPERTY(double Value READ Value WRITE SetValue)
public:
    explicit TValueEdit(QWidget *parent = nullptr);
    ~TValueEdit() override;

    QColor BarBackgndColor() const;
    void SetBarBackgndColor(const QColor &c);
    QColor BarTrackColor() const;
    void SetBarTrackColor(const QColor &c);
    QString Caption() const;
    void SetCaption(const QString &s);
    int DecimalPlaces() const;
    // Throws std::out_of_range outside 0..255 and changes nothing.
    void SetDecimalPlaces(int d);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool e);
    double Increment() const;
    void SetIncrement(double step);
    double Max() const;
    void SetMax(double v);
    double Min() const;
    void SetMin(double v);
    bool ReadOnly() const;
    void SetReadOnly(bool r);
    bool ShowArrowButton() const { return showArrows_; }
    void SetShowArrowButton(bool show);
    bool ShowSlider() const;
    void SetShowSlider(bool show);
    bool ShowUnits() const { return showUnits_; }
    void SetShowUnits(bool show);
    QStringList UnitsList() const { return unitsList_; }
    void SetUnitsList(const QStringList &list);
    int UnitsListIndex() const;
    void SetUnitsListIndex(int i);
    QString UnitsString() const;
    void SetUnitsString(const QString &s);
    // Reading limits the field's value and re-formats it.
    double Value();
    void SetValue(double x);

    QLabel *labelCaption = nullptr;
    TNumberField *editValue = nullptr;
    QToolButton *btnUnitsMenu = nullptr;
    QLabel *labelUnits = nullptr;
    TColorSlider *tbarValue = nullptr;

    // The layout pass.
    void FrameResize();

signals:
    void OnValueChange(QObject *sender);

protected:
    void resizeEvent(QResizeEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;

private:
    void editValueChange();
    void tbarValuePosChange();
    void FrameEnter();
    void UpdateUnitsDisplay();
    void UnitsMenuItemClick(QAction *item);
    // Positions the slider for the field's value with the program-move
    // marker set.
    void placeSlider();
    void updateSliderEnabled();
    void updateArrows();

    bool enabled_ = true;
    bool showUnits_ = true;
    bool showArrows_ = true;
    bool busy_ = false;        // the field's busy marker
    bool programMove_ = false; // the slider's program-move marker
    QStringList unitsList_;
    QMenu *unitsMenu_ = nullptr;
    QActionGroup *unitsGroup_ = nullptr;
};

} // namespace zembrik
