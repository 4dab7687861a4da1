// libFuzzer target for the MIDI log: the input is cut into 64-byte reports
// that the log takes as the box's log reports, and then read as a log file.
// The log never writes outside its grid or into the heading row, and a log
// file written from any grid reads back to the same grid.
#include "monitor/MidiLog.h"

#include <cstdint>
#include <cstdlib>

using namespace zembrik;

namespace {
const QStringList kHeading{QStringLiteral("Interval"), QStringLiteral("Event"), QStringLiteral("Note"),
                           QStringLiteral("Velocity")};

void sameGrid(const TMidiLog &a, const TMidiLog &b)
{
    if (a.GridRowCount() != b.GridRowCount() || a.GridColumnCount() != b.GridColumnCount())
        std::abort();
    for (int r = 0; r < a.GridRowCount(); ++r)
        if (a.Row(r) != b.Row(r))
            std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Reports.
    TMidiLog log;
    log.BufferFull = [] {};
    qint64 readAt = 0;
    for (std::size_t at = 0; at + 64 <= size; at += 64) {
        log.IgnoreNoteOff = data[at + 63] & 1; // the last byte is never read as a pair
        readAt += data[at + 62] * 1000LL;
        log.ProcessLogReport(data + at, readAt);
        if (log.CurrentRow() < 0 || log.CurrentRow() > log.GridRowCount() - 2 || log.Row(0) != kHeading)
            std::abort();
    }

    // The log file.
    const QByteArray file(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    TMidiLog recalled;
    recalled.LoadCsv(file);
    TMidiLog again;
    again.LoadCsv(recalled.ToCsv());
    sameGrid(recalled, again);
    if (again.ToCsv() != recalled.ToCsv())
        std::abort();

    // Logging after a recall of any file.
    recalled.BufferFull = [] {};
    recalled.PrepareForLogging();
    recalled.ClearLog();
    recalled.AddLogEvent(0, 0x02, 1);
    if (recalled.CurrentRow() != 1 || recalled.Row(0).mid(0, 4) != kHeading)
        std::abort();
    return 0;
}
