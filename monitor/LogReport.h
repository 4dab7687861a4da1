// The box's log report, as it streams it while MIDI logging is on: byte 0
// the marker 0xBA, byte 1 a sequence number (a report repeating the last
// one's number is a resend), byte 2 the length of the event area in bytes,
// then (event code, value) pairs from byte 3 on.  Bytes 3..62 hold at most
// 30 pairs; a length byte announcing more is cut there.
//
// TLogReport only decodes; what a repeat is, and what the pairs mean, is up
// to the reader (the MIDI log, the MIDI learn).  QtCore only.
#pragma once

#include <QtGlobal>

#include <array>
#include <optional>

namespace zembrik {

// The event code of a log pair.  Codes 11 to 255 are all "CC2".
enum TLogCode : quint8 {
    lgStatus = 0,
    lgNoteOn = 1,
    lgOnVelocity = 2,
    lgNoteOff = 3,
    lgOffVelocity = 4,
    lgData1 = 5,
    lgData1of2 = 6,
    lgData2 = 7,
    lgSysEx = 8,
    lgControlChange = 9,
    lgPedalPosition = 10,
};

struct TLogPair {
    quint8 code = lgStatus;
    quint8 value = 0; // note number, velocity, controller value, pedal position
    friend bool operator==(const TLogPair &, const TLogPair &) = default;
};

struct TLogReport {
    static constexpr quint8 kMarker = 0xBA;
    static constexpr int kReportSize = 64;
    static constexpr int kMaxPairs = 30; // bytes 3..62

    quint8 sequence = 0;
    int pairCount = 0;
    std::array<TLogPair, kMaxPairs> pairs{};

    const TLogPair *begin() const { return pairs.data(); }
    const TLogPair *end() const { return pairs.data() + pairCount; }

    // The log report in size data bytes (report-ID byte excluded), or none
    // when they are no log report.  Pairs never reach past the data given,
    // nor past the 30 a report holds; an odd last byte is ignored.
    static std::optional<TLogReport> Parse(const quint8 *data, int size = kReportSize);
};

} // namespace zembrik
