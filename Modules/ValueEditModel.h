// The arithmetic of the value editor (TValueEdit), apart from its widgets:
// limits, rounding and text of the numeric field, the mapping between the
// value and the 0..100 slider position, and the rule that decides when the
// field reports a change.  QtCore only, so that it is tested without
// painting.  The widget in ValueEditFrame holds one TValueField.
#pragma once

#include <QString>

namespace zembrik::valueedit {

constexpr int kSliderMin = 0;
constexpr int kSliderMax = 100;
constexpr int kSliderCentre = 50;
constexpr int kMaxDecimalPlaces = 255;

// Rounds to the nearest integer; halves go to the even integer.
double RoundHalfEven(double v);
// Rounds to the given decimals; halves go away from zero.
double RoundDecimals(double v, int decimals);
// Fixed-point text with exactly `decimals` decimals, no thousands separators.
QString FormatValue(double v, int decimals);

// The slider position of v: 50 when min = max, else the share of the range
// in percent, halves to even.
int ValueToPosition(double v, double min, double max);
// The value a slider position stands for (min when min = max).
double PositionToValue(int position, double min, double max);
// The position under a mouse at x on a bar whose ends are at the pixels
// left and right: 0 at the left end, 100 at the right end, clamped.
int PixelToPosition(int x, int left, int right);
// The pixel of a position on that bar.
int PositionToPixel(int position, int left, int right);

// The numeric field's state: limits, decimals, step, the value it holds and
// the value it last reported.
class TValueField {
public:
    double Min() const { return min_; }
    double Max() const { return max_; }
    // Limits apply when either is non-zero.
    bool Limited() const { return min_ != 0 || max_ != 0; }
    double Limit(double v) const;
    int DecimalPlaces() const { return decimals_; }
    double Increment() const { return increment_; }
    void SetIncrement(double step) { increment_ = step; }

    // The value held, limited and rounded to the decimals.
    double Value() const { return value_; }
    QString Text() const { return FormatValue(value_, decimals_); }

    // Puts v into the field: limited and rounded.  Returns true when the
    // number differs from the one last reported (and takes it as reported).
    bool Put(double v);
    // Reads typed text: unreadable text counts as Min; a number beyond a
    // limit is cropped.  Returns what Put returns.
    bool PutText(const QString &text);
    // Whether text may stand in the field while typing (characters that can
    // form a number).
    static bool MayFormNumber(const QString &text);
    // One step of the arrows, spin buttons or wheel (negative steps down).
    bool Step(int steps) { return Put(value_ + steps * increment_); }

    // The limits and decimals re-apply the held value to it; each returns
    // what Put returns.
    bool SetMin(double v);
    bool SetMax(double v);
    // Throws std::out_of_range outside 0..255 and changes nothing.
    bool SetDecimalPlaces(int d);

private:
    double min_ = 0;
    double max_ = 0;
    int decimals_ = 0;
    double increment_ = 1;
    double value_ = 0;
    double reported_ = 0;
};

} // namespace zembrik::valueedit
