// Moving the note maps to and from the box, slot by slot.
//
// For each map: the map is made the box's active one (SelectMapOnBox: command
// 0x12 when a connected box supports several maps),
// then every slot of the geometry is read with 0x03 or written with 0x04,
// outputs first, then slots; each write is followed by a 10 ms pause before
// anything else goes out.  A failed exchange ends the transfer: the status
// shows the direction's error text and ETransferError carries it on.
// Status texts and progress (slots done of all) are emitted as it goes.  UI
// thread only; the window owns one and disables what could change the maps
// while it runs.
#pragma once

#include "device/Connection.h"
#include "device/DeviceLink.h"
#include "maps/NoteMaps.h"

#include <functional>
#include <stdexcept>

namespace zembrik {

class ETransferError : public std::runtime_error {
public:
    explicit ETransferError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

inline const QString kReadErrorText = QStringLiteral("Error transferring map entry from MIDI Zembrik");
inline const QString kWriteErrorText = QStringLiteral("ERROR transferring map entry to MIDI Zembrik");

class TMapTransfer : public QObject {
    Q_OBJECT
public:
    TMapTransfer(TDeviceLink &link, const TConnection &connection, QObject *parent = nullptr)
        : QObject(parent), link_(link), connection_(connection)
    {
    }

    // Makes map the box's active one, when a connected box has several.
    void SelectMapOnBox(int map);

    // Reads maps 0..mapCount-1 into maps (each map is cleared first).
    void ReadMaps(TNoteMaps &maps, int mapCount, int outputs, int notesPerOutput);
    // Writes maps 0..mapCount-1, empty slots as 255.
    void WriteMaps(const TNoteMaps &maps, int mapCount, int outputs, int notesPerOutput);
    bool Running() const { return running_; }

    static constexpr int kWritePauseMs = 10;

signals:
    void Status(const QString &text);
    void Progress(int done, int total);

private:
    void pause();
    // The loop both directions share; slot() does one exchange.
    void run(int mapCount, int outputs, int notesPerOutput, const QString &statusText, const QString &errorText,
             const std::function<bool(int, int, int)> &slot);

    TDeviceLink &link_;
    const TConnection &connection_;
    bool running_ = false;
};

} // namespace zembrik
