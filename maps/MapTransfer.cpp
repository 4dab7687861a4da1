#include "MapTransfer.h"

#include <QEventLoop>
#include <QScopeGuard>
#include <QTimer>

namespace zembrik {

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

void TMapTransfer::ReadMaps(TNoteMaps &maps, int mapCount, int outputs, int notesPerOutput)
{
    const TMapGeometry g = ClampGeometry(mapCount, outputs, notesPerOutput);
    running_ = true;
    auto done = qScopeGuard([&] {
        running_ = false;
        status(QStringLiteral("Transfer complete"));
    });
    const int total = g.maps * g.outputs * g.notesPerOutput;
    int count = 0;
    for (int m = 0; m < g.maps; ++m) {
        maps.Clear(m);
        status(QStringLiteral("Transferring map %1 from MIDI Zembrik...").arg(m + 1));
        if (SelectMapOnBox)
            SelectMapOnBox(m);
        for (int o = 0; o < g.outputs; ++o)
            for (int s = 0; s < g.notesPerOutput; ++s) {
                TCommandReply r;
                if (!link_.SendCommand(cmd::GetMapEntry(quint8(o), quint8(s)), r)) {
                    // The error stays in the status bar: a failed
                    // transfer is never shown as complete.
                    done.dismiss();
                    running_ = false;
                    status(kReadErrorText);
                    throw ETransferError(kReadErrorText);
                }
                maps.Set(m, o, s, r.First);
                if (Progress)
                    Progress(++count, total);
            }
    }
}

void TMapTransfer::WriteMaps(const TNoteMaps &maps, int mapCount, int outputs, int notesPerOutput)
{
    const TMapGeometry g = ClampGeometry(mapCount, outputs, notesPerOutput);
    running_ = true;
    auto done = qScopeGuard([&] {
        running_ = false;
        status(QStringLiteral("Transfer complete"));
    });
    const int total = g.maps * g.outputs * g.notesPerOutput;
    int count = 0;
    for (int m = 0; m < g.maps; ++m) {
        status(QStringLiteral("Transfering map %1 to MIDI Zembrik...").arg(m + 1));
        if (SelectMapOnBox)
            SelectMapOnBox(m);
        for (int o = 0; o < g.outputs; ++o)
            for (int s = 0; s < g.notesPerOutput; ++s) {
                const int note = maps.At(m, o, s);
                TCommandReply r;
                if (!link_.SendCommand(cmd::SetMapEntry(quint8(o), quint8(s), quint8(note)), r)) {
                    // The error stays in the status bar: a failed
                    // transfer is never shown as complete.
                    done.dismiss();
                    running_ = false;
                    status(kWriteErrorText);
                    throw ETransferError(kWriteErrorText);
                }
                pause();
                if (Progress)
                    Progress(++count, total);
            }
    }
}

} // namespace zembrik
