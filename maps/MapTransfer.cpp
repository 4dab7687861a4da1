#include "maps/MapTransfer.h"

#include <QEventLoop>
#include <QTimer>

namespace zembrik {

void TMapTransfer::SelectMapOnBox(int map)
{
    if (!connection_.Connected() || !connection_.Supports(ffMultiMap))
        return;
    TCommandReply r;
    link_.SendCommand(cmd::SelectMap(static_cast<quint8>(map)), r);
}

void TMapTransfer::pause()
{
    // Waits in the event loop, so the window still paints.
    const qint64 until = link_.Now() + kWritePauseMs;
    while (link_.Now() < until) {
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(until - link_.Now()), Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

void TMapTransfer::run(int mapCount, int outputs, int notesPerOutput, const QString &statusText,
                       const QString &errorText, const std::function<bool(int, int, int)> &slot)
{
    const TMapGeometry g = ClampGeometry(mapCount, outputs, notesPerOutput);
    running_ = true;
    const int total = g.maps * g.outputs * g.notesPerOutput;
    int count = 0;
    for (int m = 0; m < g.maps; ++m) {
        emit Status(statusText.arg(m + 1));
        SelectMapOnBox(m);
        for (int o = 0; o < g.outputs; ++o)
            for (int s = 0; s < g.notesPerOutput; ++s) {
                if (!slot(m, o, s)) {
                    // The error stays in the status bar: a failed transfer
                    // is never shown as complete.
                    running_ = false;
                    emit Status(errorText);
                    throw ETransferError(errorText);
                }
                emit Progress(++count, total);
            }
    }
    running_ = false;
    emit Status(QStringLiteral("Transfer complete"));
}

void TMapTransfer::ReadMaps(TNoteMaps &maps, int mapCount, int outputs, int notesPerOutput)
{
    run(mapCount, outputs, notesPerOutput, QStringLiteral("Transferring map %1 from MIDI Zembrik..."), kReadErrorText,
        [&](int m, int o, int s) {
            if (o == 0 && s == 0)
                maps.Clear(m); // each map is emptied as its reading starts
            TCommandReply r;
            if (!link_.SendCommand(cmd::GetMapEntry(quint8(o), quint8(s)), r))
                return false;
            maps.Set(m, o, s, r.First);
            return true;
        });
}

void TMapTransfer::WriteMaps(const TNoteMaps &maps, int mapCount, int outputs, int notesPerOutput)
{
    run(mapCount, outputs, notesPerOutput, QStringLiteral("Transfering map %1 to MIDI Zembrik..."), kWriteErrorText,
        [&](int m, int o, int s) {
            TCommandReply r;
            if (!link_.SendCommand(cmd::SetMapEntry(quint8(o), quint8(s), quint8(maps.At(m, o, s))), r))
                return false;
            pause();
            return true;
        });
}

} // namespace zembrik
