#include "Modules/ValueEditModel.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace zembrik::valueedit {

double RoundHalfEven(double v)
{
    if (!std::isfinite(v))
        return v;
    const double lower = std::floor(v);
    const double diff = v - lower;
    if (diff < 0.5)
        return lower;
    if (diff > 0.5)
        return lower + 1;
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

double RoundDecimals(double v, int decimals)
{
    if (!std::isfinite(v))
        return v;
    // Past 15 decimals a double has no digits left to round.
    if (decimals > 15)
        return v;
    const double scale = std::pow(10.0, decimals);
    const double scaled = v * scale;
    if (!std::isfinite(scaled))
        return v;
    return std::round(scaled) / scale; // halves away from zero
}

QString FormatValue(double v, int decimals)
{
    const double r = RoundDecimals(v, decimals);
    return QString::number(r == 0 ? 0.0 : r, 'f', decimals); // no "-0"
}

int ValueToPosition(double v, double min, double max)
{
    if (min == max)
        return kSliderCentre;
    const double p = RoundHalfEven((v - min) * 100 / (max - min));
    return static_cast<int>(std::clamp(p, -1e9, 1e9));
}

double PositionToValue(int position, double min, double max)
{
    if (min == max)
        return min;
    return (max - min) * (position / 100.0) + min;
}

int PixelToPosition(int x, int left, int right)
{
    if (right <= left)
        return kSliderCentre;
    const double p = RoundHalfEven(static_cast<double>(x - left) * 100 / (right - left));
    return static_cast<int>(std::clamp(p, double(kSliderMin), double(kSliderMax)));
}

int PositionToPixel(int position, int left, int right)
{
    return left + static_cast<int>(std::lround(static_cast<double>(right - left) * position / 100.0));
}

double TValueField::Limit(double v) const
{
    if (!Limited())
        return v;
    // A range given upside down still keeps the value inside it.
    return std::clamp(v, std::min(min_, max_), std::max(min_, max_));
}

bool TValueField::Put(double v)
{
    if (std::isnan(v))
        v = min_;
    value_ = RoundDecimals(Limit(v), decimals_);
    // The field's limits may lie between two steps of the decimals.
    value_ = Limit(value_);
    if (value_ == reported_)
        return false;
    reported_ = value_;
    return true;
}

bool TValueField::MayFormNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?[0-9]*(\\.[0-9]*)?([eE][+-]?[0-9]*)?$"));
    return number.match(text).hasMatch();
}

bool TValueField::PutText(const QString &text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return Put(ok && std::isfinite(v) ? v : min_);
}

bool TValueField::SetMin(double v)
{
    min_ = v;
    return Put(value_);
}

bool TValueField::SetMax(double v)
{
    max_ = v;
    return Put(value_);
}

bool TValueField::SetDecimalPlaces(int d)
{
    if (d < 0 || d > kMaxDecimalPlaces)
        throw std::out_of_range("DecimalPlaces must lie within 0..255");
    decimals_ = d;
    return Put(value_);
}

} // namespace zembrik::valueedit
