// The box's settings without widgets: the ranges the window's editors hold
// values to, the byte rules that turn a value into its command, which
// settings a box has (by model and firmware), and reading them back.
//
// The "Settings" page and midizembrik-cli both go through here, so the bytes
// on the wire are the same whichever sends them.  Plain functions on the
// device link and the connection; UI thread only.
#pragma once

#include "device/Commands.h"

#include <QString>

#include <optional>

namespace zembrik {

class TConnection;
class TDeviceLink;

namespace settings {

struct TSettingRange {
    double min, max, increment;
};
// Note duration in milliseconds; the box counts in units of 10 ms.
inline constexpr TSettingRange kDurationRange{10, 120, 10};
inline constexpr TSettingRange kVelocityRange{0, 127, 1};
// Pedal position, 0 all the way up ... 127 pressed all the way down.
inline constexpr TSettingRange kHiHatRange{0, 127, 1};
// The threshold byte that switches the hi-hat threshold off.
inline constexpr int kHiHatOff = kNoNoteValue;

// Byte rules.  Values are first held to their range, as the editors do.
// Duration: trunc(ms / 10), so 57 ms goes out as 5.
TCommand NoteDurationCommand(double milliseconds);
// The duration the box was given, in milliseconds: a multiple of 10.
int NoteDurationSent(const TCommand &c);
// Velocity: trunc(value).
TCommand VelocityThresholdCommand(double threshold);
// Hi-hat: round(value), halves to even; kHiHatOff (or any value above 255
// held to it) switches the threshold off.
int HiHatThresholdByte(double threshold);
TCommand HiHatThresholdCommand(int thresholdByte);

// What the box has.  The velocity threshold is the second model's; the
// hi-hat threshold needs newer firmware.
bool HasVelocityThreshold(const TConnection &connection);
bool HasHiHatThreshold(const TConnection &connection);

// Reads from the box; nothing when the box is not connected, lacks the
// setting or gave no reply.
std::optional<int> ReadNoteDuration(TDeviceLink &link, const TConnection &connection); // ms
std::optional<int> ReadVelocityThreshold(TDeviceLink &link, const TConnection &connection);
// 0..127, or kHiHatOff.
std::optional<int> ReadHiHatThreshold(TDeviceLink &link, const TConnection &connection);

} // namespace settings
} // namespace zembrik
