// The program's side of the device link: the device filter that picks the box
// out of the offered HID devices, the report buffer LastReport with its flag,
// and the command exchange SendCommand.
//
// A TDeviceLink attaches itself to its controller when it is made: it is the
// controller's filter and report handler, and passes arrivals, removals and
// the current device's reports on as signals (the connection routine and the
// window's report routing listen).  The main window owns one.  Everything
// runs on the UI thread.
#pragma once

#include "device/Commands.h"
#include "device/JvHid.h"

#include <QObject>
#include <QPointer>

#include <array>
#include <functional>
#include <optional>
#include <vector>

class QEventLoop;

namespace zembrik {

// Vendor per console and product per console and game mode.
struct TDeviceId {
    quint16 vendorId;
    quint16 productId[2];
};
inline constexpr TDeviceId DeviceIdTable[3] = {
    {0x12BA, {0x0210, 0x0120}}, // Playstation
    {0x1BAD, {0x3110, 0x0120}}, // Wii
    {0x12BA, {0x0210, 0x0120}}, // Xbox (never matched first: same as row 0)
};
inline constexpr quint16 kWiiExtraProductId = 0x0005; // Wii, game mode 0

struct TDeviceMatch {
    int console;
    int gameMode;
    friend bool operator==(const TDeviceMatch &, const TDeviceMatch &) = default;
};
std::optional<TDeviceMatch> MatchDeviceId(quint16 vendorId, quint16 productId);

struct TCommandReply {
    int First = -1;
    int Second = -1;
};

class TDeviceLink : public QObject {
    Q_OBJECT
public:
    explicit TDeviceLink(TJvHidDeviceController *controller, QObject *parent = nullptr);
    ~TDeviceLink() override;

    TJvHidDeviceController *Controller() const { return controller_; }

    // The claimed box, or null.
    QPointer<TJvHidDevice> CurrentDevice;
    std::array<quint8, 64> LastReport{};
    bool ReportArrived = false;
    int SequenceNumber = 0;
    int DeviceGameMode = 0;
    // Set by the filter when a device with the box's identifiers could not be
    // opened: names the node and the cause.  The caller clears it before it
    // enumerates.
    QString AccessError;

    bool HIDControllerEnumerate(TJvHidDevice *HidDev, int Idx);
    // Reports of any device but the current one are ignored: with two boxes
    // plugged in, the other one's reports are never taken as replies.
    void HIDControllerDeviceData(TJvHidDevice *HidDev, const TJvHidReport &Report);

    // Sends one command and waits for its reply in the event loop.
    bool SendCommand(quint8 code, quint8 arg1, quint8 arg2, quint8 arg3, TCommandReply &reply);
    bool SendCommand(const TCommand &c, TCommandReply &reply)
    {
        return SendCommand(c.code, c.arg1, c.arg2, c.arg3, reply);
    }

    static constexpr int kReplyTimeoutMs = 250;
    // Monotonic milliseconds; tests replace it.
    void SetClock(std::function<qint64()> clock) { clock_ = std::move(clock); }
    qint64 Now() const { return clock_(); }
    // Exchanges waiting, innermost last.
    int PendingExchanges() const { return static_cast<int>(waiters_.size()); }

signals:
    // The filter found a box: its console and the game mode its identifiers
    // tell, before it is claimed.
    void ConsoleFound(int console);
    void GameModeFound(int mode);
    // The controller's arrival and removal of any HID device.
    void Arrival(zembrik::TJvHidDevice *device);
    void Removal(zembrik::TJvHidDevice *device);
    // A report of the current device, after LastReport took it and any
    // waiting exchange looked at it.
    void ReportReceived(const zembrik::TJvHidReport &report);

private:
    struct Waiter {
        int sequence;
        qint64 start;
        bool matched = false;
        TCommandReply reply;
        QEventLoop *loop = nullptr;
    };
    void offerReply();

    TJvHidDeviceController *controller_;
    std::function<qint64()> clock_;
    std::vector<Waiter *> waiters_;
};

} // namespace zembrik
