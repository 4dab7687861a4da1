#include "Modules/ValueEditFrame.h"

#include <QActionGroup>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScopeGuard>
#include <QToolButton>

#include <algorithm>

namespace zembrik {

using namespace valueedit;

namespace {
constexpr int kArrowHalf = 4; // half the width of the position arrow
constexpr int kArrowHeight = 6;
constexpr int kUnitsButtonWidth = 44;
constexpr int kFieldHeight = 20;
constexpr int kSliderTop = 22;
constexpr int kSliderHeight = 18;
const QColor kArrowBlue(0, 0, 255);

// A screen reader calls the editor and its number field by the caption
// (without its colon) and the slider "<caption> slider".
void nameForScreenReaders(QWidget *editor, QWidget *field, QWidget *slider, QString caption)
{
    caption.remove(QLatin1Char('&'));
    caption = caption.trimmed();
    if (caption.endsWith(QLatin1Char(':')))
        caption.chop(1);
    caption = caption.trimmed();
    editor->setAccessibleName(caption);
    field->setAccessibleName(caption);
    slider->setAccessibleName(caption + QStringLiteral(" slider"));
}
} // namespace

// --- TColorSlider -------------------------------------------------------------------

TColorSlider::TColorSlider(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void TColorSlider::SetPosition(int p)
{
    if (p < kSliderMin || p > kSliderMax || p == position_)
        return;
    position_ = p;
    update();
    emit PosChange();
}

void TColorSlider::SetStartColor(const QColor &c)
{
    start_ = c;
    update();
}

void TColorSlider::SetEndColor(const QColor &c)
{
    end_ = c;
    update();
}

int TColorSlider::BarLeft() const
{
    return 1 + kArrowHalf;
}

int TColorSlider::BarRight() const
{
    return width() - 2 - kArrowHalf;
}

void TColorSlider::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const bool on = isEnabled();
    auto shade = [on](QColor c) {
        if (on)
            return c;
        const int g = qGray(c.rgb());
        return QColor(g / 2 + 96, g / 2 + 96, g / 2 + 96);
    };
    // Single border, ramp inside.
    const QRect bar = rect().adjusted(1, 1, -1, -1);
    QLinearGradient ramp(BarLeft(), 0, BarRight(), 0);
    ramp.setColorAt(0, shade(start_));
    ramp.setColorAt(1, shade(end_));
    p.fillRect(bar, ramp);
    p.setPen(palette().color(QPalette::Shadow));
    p.drawRect(rect().adjusted(0, 0, -1, -1));

    // The line: white with dark edges, so it shows on either end of the ramp.
    const int x = PositionToPixel(position_, BarLeft(), BarRight());
    p.fillRect(QRect(x - 1, bar.top(), 3, bar.height()), QColor(0, 0, 0, 160));
    p.fillRect(QRect(x, bar.top(), 1, bar.height()), Qt::white);

    // The arrow, pointing down from the top edge.
    QPainterPath arrow;
    arrow.moveTo(x - kArrowHalf, bar.top());
    arrow.lineTo(x + kArrowHalf + 1, bar.top());
    arrow.lineTo(x + 0.5, bar.top() + kArrowHeight);
    arrow.closeSubpath();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(on ? kArrowBlue : QColor(128, 128, 160));
    p.drawPath(arrow);
}

void TColorSlider::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(e);
    SetPosition(PixelToPosition(qRound(e->position().x()), BarLeft(), BarRight()));
}

void TColorSlider::mouseMoveEvent(QMouseEvent *e)
{
    if (!(e->buttons() & Qt::LeftButton))
        return QWidget::mouseMoveEvent(e);
    SetPosition(PixelToPosition(qRound(e->position().x()), BarLeft(), BarRight()));
}

// --- TNumberField ---------------------------------------------------------------------

TNumberField::TNumberField(QWidget *parent) : QAbstractSpinBox(parent)
{
    setAccelerated(true);
    lineEdit()->setText(model_.Text());
    connect(this, &QAbstractSpinBox::editingFinished, this, &TNumberField::CommitText);
}

void TNumberField::Apply(bool changed)
{
    const QString text = model_.Text();
    if (lineEdit()->text() != text)
        lineEdit()->setText(text);
    if (changed)
        emit Change();
}

void TNumberField::PutValue(double v)
{
    Apply(model_.Put(v));
}

void TNumberField::CommitText()
{
    const QString text = lineEdit()->text();
    if (text == model_.Text())
        return;
    Apply(model_.PutText(text));
}

void TNumberField::stepBy(int steps)
{
    if (isReadOnly())
        return;
    CommitText();
    Apply(model_.Step(steps));
    selectAll();
}

QValidator::State TNumberField::validate(QString &input, int &) const
{
    if (!valueedit::TValueField::MayFormNumber(input))
        return QValidator::Invalid;
    bool ok = false;
    input.toDouble(&ok);
    return ok ? QValidator::Acceptable : QValidator::Intermediate;
}

QAbstractSpinBox::StepEnabled TNumberField::stepEnabled() const
{
    if (isReadOnly())
        return StepNone;
    if (!model_.Limited())
        return StepUpEnabled | StepDownEnabled;
    StepEnabled s = StepNone;
    const double lo = std::min(model_.Min(), model_.Max());
    const double hi = std::max(model_.Min(), model_.Max());
    if (model_.Value() < hi)
        s |= StepUpEnabled;
    if (model_.Value() > lo)
        s |= StepDownEnabled;
    return s;
}

// --- TValueEdit -----------------------------------------------------------------------

TValueEdit::TValueEdit(QWidget *parent) : QWidget(parent)
{
    resize(156, 40);
    labelCaption = new QLabel(QStringLiteral("caption"), this);
    labelCaption->setObjectName(QStringLiteral("labelCaption"));
    labelCaption->move(0, 3);
    labelCaption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    labelCaption->adjustSize();

    editValue = new TNumberField(this);
    editValue->setObjectName(QStringLiteral("editValue"));
    editValue->setGeometry(37, 0, 72, kFieldHeight);

    btnUnitsMenu = new QToolButton(this);
    btnUnitsMenu->setObjectName(QStringLiteral("btnUnitsMenu"));
    btnUnitsMenu->setGeometry(112, 0, kUnitsButtonWidth, kFieldHeight);
    btnUnitsMenu->setText(QStringLiteral("units"));
    btnUnitsMenu->setAutoRaise(true);
    btnUnitsMenu->setPopupMode(QToolButton::InstantPopup);
    btnUnitsMenu->setToolButtonStyle(Qt::ToolButtonTextOnly);
    btnUnitsMenu->hide();

    labelUnits = new QLabel(QStringLiteral("(units)"), this);
    labelUnits->setObjectName(QStringLiteral("labelUnits"));
    labelUnits->move(125, 3);
    labelUnits->adjustSize();
    labelUnits->hide();

    tbarValue = new TColorSlider(this);
    tbarValue->setObjectName(QStringLiteral("tbarValue"));
    tbarValue->setGeometry(0, kSliderTop, 155, kSliderHeight);

    // Not in the tab chain itself (the field is); focus given to the
    // control moves on to the field.
    setFocusPolicy(Qt::NoFocus);
    connect(editValue, &TNumberField::Change, this, &TValueEdit::editValueChange);
    connect(tbarValue, &TColorSlider::PosChange, this, &TValueEdit::tbarValuePosChange);
    updateSliderEnabled();
    nameForScreenReaders(this, editValue, tbarValue, labelCaption->text());
}

TValueEdit::~TValueEdit() = default;

void TValueEdit::placeSlider()
{
    programMove_ = true;
    auto clear = qScopeGuard([this] { programMove_ = false; });
    tbarValue->SetPosition(ValueToPosition(editValue->Value(), Min(), Max()));
}

void TValueEdit::updateSliderEnabled()
{
    tbarValue->setEnabled(enabled_ && !ReadOnly() && Min() != Max());
}

void TValueEdit::updateArrows()
{
    editValue->setButtonSymbols(showArrows_ && !ReadOnly() ? QAbstractSpinBox::UpDownArrows
                                                           : QAbstractSpinBox::NoButtons);
}

void TValueEdit::editValueChange()
{
    placeSlider();
    if (busy_)
        return;
    busy_ = true;
    auto clear = qScopeGuard([this] { busy_ = false; });
    emit OnValueChange(this);
}

void TValueEdit::tbarValuePosChange()
{
    if (programMove_)
        return;
    if (Min() != Max()) {
        SetValue(PositionToValue(tbarValue->Position(), Min(), Max()));
        return;
    }
    programMove_ = true;
    auto clear = qScopeGuard([this] { programMove_ = false; });
    tbarValue->SetPosition(kSliderCentre);
}

double TValueEdit::Value()
{
    editValue->PutValue(editValue->Value());
    return editValue->Value();
}

void TValueEdit::SetValue(double x)
{
    editValue->PutValue(x);
    placeSlider();
}

QColor TValueEdit::BarBackgndColor() const
{
    return tbarValue->StartColor();
}

void TValueEdit::SetBarBackgndColor(const QColor &c)
{
    tbarValue->SetStartColor(c);
}

QColor TValueEdit::BarTrackColor() const
{
    return tbarValue->EndColor();
}

void TValueEdit::SetBarTrackColor(const QColor &c)
{
    tbarValue->SetEndColor(c);
}

QString TValueEdit::Caption() const
{
    return labelCaption->text();
}

void TValueEdit::SetCaption(const QString &s)
{
    labelCaption->setText(s);
    nameForScreenReaders(this, editValue, tbarValue, s);
    FrameResize();
}

int TValueEdit::DecimalPlaces() const
{
    return editValue->Model().DecimalPlaces();
}

void TValueEdit::SetDecimalPlaces(int d)
{
    editValue->Apply(editValue->Model().SetDecimalPlaces(d));
}

double TValueEdit::Increment() const
{
    return editValue->Model().Increment();
}

void TValueEdit::SetIncrement(double step)
{
    editValue->Model().SetIncrement(step);
}

double TValueEdit::Max() const
{
    return editValue->Model().Max();
}

double TValueEdit::Min() const
{
    return editValue->Model().Min();
}

// The field limits its value to the new range; the slider then follows
// the value.  The value is not taken back from the slider's 0..100 scale,
// which would round it to a hundredth of the range.
void TValueEdit::SetMax(double v)
{
    editValue->Apply(editValue->Model().SetMax(v));
    placeSlider();
    updateSliderEnabled();
}

void TValueEdit::SetMin(double v)
{
    editValue->Apply(editValue->Model().SetMin(v));
    placeSlider();
    updateSliderEnabled();
}

bool TValueEdit::ReadOnly() const
{
    return editValue->isReadOnly();
}

void TValueEdit::SetReadOnly(bool r)
{
    editValue->setReadOnly(r);
    updateArrows();
    updateSliderEnabled();
    FrameResize();
}

void TValueEdit::SetShowArrowButton(bool show)
{
    showArrows_ = show;
    updateArrows();
}

bool TValueEdit::ShowSlider() const
{
    return !tbarValue->isHidden();
}

void TValueEdit::SetShowSlider(bool show)
{
    tbarValue->setVisible(show);
    FrameResize();
}

void TValueEdit::SetShowUnits(bool show)
{
    showUnits_ = show;
    FrameResize();
}

void TValueEdit::SetEnabled(bool e)
{
    enabled_ = e;
    editValue->setEnabled(e);
    labelCaption->setEnabled(e);
    btnUnitsMenu->setEnabled(e);
    updateSliderEnabled();
}

void TValueEdit::SetUnitsList(const QStringList &list)
{
    constexpr int kMaxUnits = 256;
    unitsList_ = list.mid(0, kMaxUnits);
    UpdateUnitsDisplay();
}

int TValueEdit::UnitsListIndex() const
{
    const QString units = UnitsString();
    for (int i = 0; i < unitsList_.size(); ++i)
        if (unitsList_.at(i).compare(units, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void TValueEdit::SetUnitsListIndex(int i)
{
    if (unitsList_.isEmpty() || i < 0 || i >= unitsList_.size())
        return;
    SetUnitsString(unitsList_.at(i));
}

QString TValueEdit::UnitsString() const
{
    return btnUnitsMenu->text();
}

void TValueEdit::SetUnitsString(const QString &s)
{
    btnUnitsMenu->setText(s);
    labelUnits->setText(s);
    labelUnits->adjustSize();
    FrameResize();
}

void TValueEdit::UpdateUnitsDisplay()
{
    if (unitsList_.isEmpty()) {
        btnUnitsMenu->hide();
        labelUnits->setVisible(showUnits_);
        btnUnitsMenu->setMenu(nullptr);
        delete unitsMenu_;
        unitsMenu_ = nullptr;
        unitsGroup_ = nullptr;
        return;
    }
    if (!unitsMenu_) {
        unitsMenu_ = new QMenu(this);
        unitsMenu_->setObjectName(QStringLiteral("unitsMenu"));
        connect(unitsMenu_, &QMenu::triggered, this, &TValueEdit::UnitsMenuItemClick);
    }
    unitsMenu_->clear();
    delete unitsGroup_;
    unitsGroup_ = new QActionGroup(unitsMenu_);
    unitsGroup_->setExclusive(true);
    for (const QString &entry : unitsList_) {
        QString caption = entry;
        QAction *item = unitsMenu_->addAction(caption.replace(QLatin1Char('&'), QLatin1String("&&")));
        item->setData(entry);
        item->setCheckable(true);
        unitsGroup_->addAction(item);
    }
    btnUnitsMenu->setVisible(showUnits_);
    labelUnits->hide();
    btnUnitsMenu->setMenu(unitsMenu_);
}

void TValueEdit::UnitsMenuItemClick(QAction *item)
{
    SetUnitsString(item->data().toString());
}

void TValueEdit::FrameResize()
{
    if (busy_)
        return;
    busy_ = true;
    auto clear = qScopeGuard([this] { busy_ = false; });

    const int w = width();
    const int h = ShowSlider() ? tbarValue->geometry().bottom() + 1 + 2 : editValue->geometry().bottom() + 1 + 2;
    if (h != height())
        resize(w, h);
    UpdateUnitsDisplay();

    // The units sit against the right edge.
    btnUnitsMenu->setGeometry(w - kUnitsButtonWidth, 0, kUnitsButtonWidth, kFieldHeight);
    labelUnits->adjustSize();
    labelUnits->move(w - labelUnits->width(), 3);
    const QSize caption = labelCaption->sizeHint();
    labelCaption->resize(caption.width(), std::max(caption.height(), kFieldHeight - 6));

    const int left = labelCaption->x() + labelCaption->width() + 2;
    int right = w;
    if (showUnits_) {
        if (!btnUnitsMenu->isHidden())
            right = btnUnitsMenu->x();
        else if (!labelUnits->isHidden())
            right = labelUnits->x();
    }
    editValue->setGeometry(left, 0, right - left - 2, kFieldHeight);
    tbarValue->setGeometry(0, kSliderTop, w, kSliderHeight);
}

void TValueEdit::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    FrameResize();
}

void TValueEdit::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    FrameResize();
}

void TValueEdit::focusInEvent(QFocusEvent *e)
{
    QWidget::focusInEvent(e);
    FrameEnter();
}

void TValueEdit::FrameEnter()
{
    if (enabled_)
        editValue->setFocus();
}

} // namespace zembrik
