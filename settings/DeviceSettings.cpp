#include "settings/DeviceSettings.h"

#include "Modules/ValueEditModel.h"
#include "device/Connection.h"
#include "device/DeviceLink.h"

#include <algorithm>
#include <cmath>

namespace zembrik::settings {

namespace {
double held(double v, const TSettingRange &r)
{
    if (std::isnan(v))
        return r.min;
    return std::clamp(v, r.min, r.max);
}

std::optional<int> read(TDeviceLink &link, const TConnection &connection, const TCommand &c)
{
    if (!connection.Connected())
        return std::nullopt;
    TCommandReply r;
    if (!link.SendCommand(c, r))
        return std::nullopt;
    return r.First;
}
} // namespace

TCommand NoteDurationCommand(double milliseconds)
{
    return cmd::SetNoteDuration(held(milliseconds, kDurationRange));
}

int NoteDurationSent(const TCommand &c)
{
    return c.arg1 * 10;
}

TCommand VelocityThresholdCommand(double threshold)
{
    return cmd::SetVelocityThreshold(held(threshold, kVelocityRange));
}

int HiHatThresholdByte(double threshold)
{
    if (threshold >= kHiHatOff)
        return kHiHatOff;
    return static_cast<int>(valueedit::RoundHalfEven(held(threshold, kHiHatRange)));
}

TCommand HiHatThresholdCommand(int thresholdByte)
{
    return cmd::SetHiHatThreshold(static_cast<quint8>(std::clamp(thresholdByte, 0, 255)));
}

bool HasVelocityThreshold(const TConnection &connection)
{
    return connection.Model() == 1;
}

bool HasHiHatThreshold(const TConnection &connection)
{
    return connection.Supports(ffHiHatThreshold);
}

std::optional<int> ReadNoteDuration(TDeviceLink &link, const TConnection &connection)
{
    const std::optional<int> units = read(link, connection, cmd::GetNoteDuration());
    if (!units)
        return std::nullopt;
    return *units * 10;
}

std::optional<int> ReadVelocityThreshold(TDeviceLink &link, const TConnection &connection)
{
    if (!HasVelocityThreshold(connection))
        return std::nullopt;
    return read(link, connection, cmd::GetVelocityThreshold());
}

std::optional<int> ReadHiHatThreshold(TDeviceLink &link, const TConnection &connection)
{
    if (!HasHiHatThreshold(connection))
        return std::nullopt;
    return read(link, connection, cmd::GetHiHatThreshold());
}

} // namespace zembrik::settings
