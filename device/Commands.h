// The box's command set: every code with the packing of its three argument
// bytes, and the 9-byte command report that carries it.
//
// The meaning of each value belongs to the code that sends it; this header is
// the one place where wire codes are written down.
#pragma once

#include <QtGlobal>

#include <array>

namespace zembrik {

enum TCommandCode : quint8 {
    CMD_END_SESSION = 0x00,
    CMD_GET_VERSION = 0x01,
    CMD_HELLO = 0x02,
    CMD_GET_MAP_ENTRY = 0x03,
    CMD_SET_MAP_ENTRY = 0x04,
    CMD_GET_NOTE_DURATION = 0x07,
    CMD_SET_NOTE_DURATION = 0x08,
    CMD_GET_MAP_SIZE = 0x09,
    CMD_SET_MIDI_LOG = 0x0B,
    CMD_GET_VELOCITY_THRESHOLD = 0x0E,
    CMD_SET_VELOCITY_THRESHOLD = 0x0F,
    CMD_GET_MAP_COUNT = 0x10,
    CMD_GET_ACTIVE_MAP = 0x11,
    CMD_SELECT_MAP = 0x12,
    CMD_GET_SWITCH_NOTE = 0x13,
    CMD_SET_SWITCH_NOTE = 0x14,
    CMD_GET_HIHAT_THRESHOLD = 0x15,
    CMD_SET_HIHAT_THRESHOLD = 0x16,
    CMD_GET_OPTIONS = 0x17,
    CMD_SET_GAME_MODE = 0x18,
};

constexpr quint8 kCommandMarker = 0xBA;
constexpr quint8 kNoNoteValue = 255; // empty slot, no switch note
constexpr quint8 kHelloArg1 = 0xAA;
constexpr quint8 kHelloArg2 = 0x55;
constexpr quint8 kOptionMidiOut = 0x10; // CMD_GET_OPTIONS, bit of First
constexpr int kCommandReportSize = 9;

// True for the codes above; 0x05, 0x06, 0x0A, 0x0C, 0x0D and everything
// past 0x18 are never sent.
constexpr bool IsKnownCommand(int code)
{
    switch (code) {
    case CMD_END_SESSION:
    case CMD_GET_VERSION:
    case CMD_HELLO:
    case CMD_GET_MAP_ENTRY:
    case CMD_SET_MAP_ENTRY:
    case CMD_GET_NOTE_DURATION:
    case CMD_SET_NOTE_DURATION:
    case CMD_GET_MAP_SIZE:
    case CMD_SET_MIDI_LOG:
    case CMD_GET_VELOCITY_THRESHOLD:
    case CMD_SET_VELOCITY_THRESHOLD:
    case CMD_GET_MAP_COUNT:
    case CMD_GET_ACTIVE_MAP:
    case CMD_SELECT_MAP:
    case CMD_GET_SWITCH_NOTE:
    case CMD_SET_SWITCH_NOTE:
    case CMD_GET_HIHAT_THRESHOLD:
    case CMD_SET_HIHAT_THRESHOLD:
    case CMD_GET_OPTIONS:
    case CMD_SET_GAME_MODE:
        return true;
    default:
        return false;
    }
}

struct TCommand {
    quint8 code = CMD_END_SESSION;
    quint8 arg1 = 0;
    quint8 arg2 = 0;
    quint8 arg3 = 0;
    friend constexpr bool operator==(const TCommand &, const TCommand &) = default;
};

namespace cmd {

namespace detail {
// Values are cut off towards zero and kept within a byte.
constexpr quint8 toByte(double v)
{
    if (!(v > 0))
        return 0;
    if (v >= 255)
        return 255;
    return static_cast<quint8>(v);
}
} // namespace detail

constexpr TCommand EndSession()
{
    return {CMD_END_SESSION};
}
constexpr TCommand GetVersion()
{
    return {CMD_GET_VERSION};
}
constexpr TCommand Hello()
{
    return {CMD_HELLO, kHelloArg1, kHelloArg2, 0};
}
constexpr TCommand GetMapEntry(quint8 output, quint8 slot)
{
    return {CMD_GET_MAP_ENTRY, output, slot, 0};
}
constexpr TCommand SetMapEntry(quint8 output, quint8 slot, quint8 note)
{
    return {CMD_SET_MAP_ENTRY, output, slot, note};
}
constexpr TCommand GetNoteDuration()
{
    return {CMD_GET_NOTE_DURATION};
}
// The box counts in units of 10 ms: 125 ms goes out as 12.
constexpr TCommand SetNoteDuration(double milliseconds)
{
    return {CMD_SET_NOTE_DURATION, detail::toByte(milliseconds / 10)};
}
constexpr TCommand GetMapSize()
{
    return {CMD_GET_MAP_SIZE};
}
constexpr TCommand SetMidiLog(bool on)
{
    return {CMD_SET_MIDI_LOG, quint8(on ? 1 : 0)};
}
constexpr TCommand GetVelocityThreshold()
{
    return {CMD_GET_VELOCITY_THRESHOLD};
}
constexpr TCommand SetVelocityThreshold(double threshold)
{
    return {CMD_SET_VELOCITY_THRESHOLD, detail::toByte(threshold)};
}
constexpr TCommand GetMapCount()
{
    return {CMD_GET_MAP_COUNT};
}
constexpr TCommand GetActiveMap()
{
    return {CMD_GET_ACTIVE_MAP};
}
constexpr TCommand SelectMap(quint8 map)
{
    return {CMD_SELECT_MAP, map};
}
constexpr TCommand GetSwitchNote()
{
    return {CMD_GET_SWITCH_NOTE};
}
constexpr TCommand SetSwitchNote(quint8 note)
{
    return {CMD_SET_SWITCH_NOTE, note};
}
constexpr TCommand GetHiHatThreshold()
{
    return {CMD_GET_HIHAT_THRESHOLD};
}
constexpr TCommand SetHiHatThreshold(quint8 threshold)
{
    return {CMD_SET_HIHAT_THRESHOLD, threshold};
}
constexpr TCommand GetOptions()
{
    return {CMD_GET_OPTIONS};
}
constexpr TCommand SetGameMode(quint8 mode)
{
    return {CMD_SET_GAME_MODE, mode};
}

} // namespace cmd

// The command report: ID 0, marker, code, sequence, three arguments, two
// zero bytes.
constexpr std::array<quint8, kCommandReportSize> BuildCommandReport(const TCommand &c, quint8 sequence)
{
    return {0x00, kCommandMarker, c.code, sequence, c.arg1, c.arg2, c.arg3, 0x00, 0x00};
}

} // namespace zembrik
