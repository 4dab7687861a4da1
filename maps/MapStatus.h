// The map status: six flags in one byte, read by the status line, the close
// question and the removal warning.
#pragma once

#include <QtGlobal>

namespace zembrik {

enum : quint8 {
    msModified = 0x01,
    msUpdating = 0x02,
    msRecalledFromFile = 0x04,
    msRecalledFromBox = 0x08,
    msSavedInFile = 0x10,
    msSavedToBox = 0x20,
};

// "MIDI Zembrik removed without saving map!" is due.
constexpr bool RemovalWarningDue(quint8 status)
{
    return (status & (msModified | msRecalledFromFile)) && !(status & (msRecalledFromBox | msSavedToBox));
}

} // namespace zembrik
