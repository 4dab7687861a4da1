#include "device/Connection.h"

#include <QScopeGuard>
#include <QTimer>

namespace zembrik {

bool FirmwareSupports(int model, int major, int minor, int feature)
{
    const bool kq = model == 1;
    switch (feature) {
    case ffDiagnostics:
    case ffMidiLog:
        return kq || major > 2 || (major == 2 && minor >= 3) || (major == 0 && minor > 28);
    case ffMultiMap:
        return kq || major >= 3;
    case ffSwitchNote:
        return kq ? (major > 1 || (major == 1 && minor > 6)) : (major > 3 || (major == 3 && minor > 5));
    case ffHiHatThreshold:
        return kq ? (major > 1 || (major == 1 && minor > 7)) : (major > 3 || (major == 3 && minor > 7));
    default:
        return false;
    }
}

QString AccessErrorHelp(const QString &error)
{
    return QStringLiteral("A MIDI Zembrik is plugged in, but it cannot be opened:\n%1\n\n"
                          "Your user needs access to the box's device node. Install the udev rule 70-midizembrik.rules "
                          "that comes with the program (shell/ in the source, lib/udev/rules.d when installed) and "
                          "plug the box in again:\n\n"
                          "  sudo cp 70-midizembrik.rules /etc/udev/rules.d/\n"
                          "  sudo udevadm control --reload-rules\n"
                          "  sudo udevadm trigger")
        .arg(error);
}

TConnection::TConnection(TDeviceLink &link, IConnectionView &view, QObject *parent)
    : QObject(parent), link_(link), view_(view)
{
    connect(&link_, &TDeviceLink::ConsoleFound, this, [this](int c) {
        console_ = c;
        view_.SetConsole(c);
    });
    connect(&link_, &TDeviceLink::GameModeFound, this, [this](int m) { view_.SetGameModeView(m); });
    connect(&link_, &TDeviceLink::Arrival, this, [this] { deviceEvent(false); });
    connect(&link_, &TDeviceLink::Removal, this, [this] { deviceEvent(true); });
}

void TConnection::deviceEvent(bool removal)
{
    if (Busy()) {
        pending_ = true;
        pendingRemoval_ = pendingRemoval_ || removal;
        return;
    }
    running_ = true;
    auto done = qScopeGuard([this] {
        running_ = false;
        runPendingDeviceEvent();
    });
    if (removal)
        HIDControllerRemoval();
    else
        HIDControllerArrival();
}

void TConnection::HoldDeviceChanges(bool hold)
{
    held_ = hold;
    if (!hold)
        runPendingDeviceEvent();
}

void TConnection::runPendingDeviceEvent()
{
    if (!pending_)
        return;
    QTimer::singleShot(0, this, [this] {
        if (!pending_ || Busy())
            return;
        const bool removal = pendingRemoval_;
        pending_ = pendingRemoval_ = false;
        deviceEvent(removal);
    });
}

void TConnection::HIDControllerArrival()
{
    if (!connected_)
        UpdateConnection();
}

void TConnection::HIDControllerRemoval()
{
    if (view_.UnsavedMapAtRisk())
        view_.WarnRemoval();
    UpdateConnection();
}

void TConnection::EndSession()
{
    if (!connected_)
        return;
    TCommandReply r;
    send(cmd::EndSession(), r);
}

void TConnection::UpdateConnection()
{
    // The current device is cleared before it is released: a report still
    // being handed over then finds no current device.
    if (TJvHidDevice *old = link_.CurrentDevice) {
        link_.CurrentDevice = nullptr;
        link_.Controller()->ReleaseDevice(old);
    }
    connected_ = false;
    firmwareMajor_ = -1;
    midiOut_ = false;
    view_.SetSwitchGroupVisible(false);

    // Whatever happens, the window shows the state it ends in.
    auto finish = qScopeGuard([this] {
        view_.ShowConnectionState(connected_);
        if (connected_)
            view_.ReadDeviceSettings();
    });

    link_.AccessError.clear();
    link_.Controller()->EnumerateDevices();
    if (!link_.AccessError.isEmpty())
        view_.ShowAccessError(link_.AccessError);
    TJvHidDevice *dev = link_.CurrentDevice;
    if (!dev)
        return;

    TCommandReply r;
    if (!send(cmd::Hello(), r) || r.First != kHelloArg1 || r.Second != kHelloArg2)
        return; // the device stays claimed; the next arrival tries again
    connected_ = true;

    model_ = (dev->ManufacturerString().contains(QStringLiteral("KQ")) ||
              dev->ProductString().contains(QStringLiteral("KQ")))
                 ? 1
                 : 0;
    view_.ShowModel(model_);
    if (dev->ProductString().contains(QStringLiteral("KQi"))) {
        console_ = 2;
        view_.SetConsole(2);
    }
    view_.ShowStatus(ModelNames[model_] + QStringLiteral(" found"));

    if (send(cmd::GetVersion(), r)) {
        firmwareMajor_ = r.First;
        firmwareMinor_ = r.Second;
        view_.ShowFirmware(QStringLiteral("%1.%2").arg(firmwareMajor_).arg(firmwareMinor_));
        view_.ShowGameMode(GameModeNames.value(view_.ViewGameMode()));
    } else {
        firmwareMajor_ = 0;
        firmwareMinor_ = 0;
        view_.ShowFirmware(QStringLiteral("Error"));
        view_.ShowStatus(QStringLiteral("ERROR getting version"));
    }

    midiOut_ = send(cmd::GetOptions(), r) && (r.First & kOptionMidiOut);
    if (midiOut_)
        view_.AppendConsoleText(QStringLiteral(" + MIDI OUT"));

    if (console_ == 2 && !midiOut_) {
        view_.SetGameModeView(0);
        view_.SetViewMenuVisible(false);
    } else {
        view_.SetViewMenuVisible(true);
    }

    if (Supports(ffMultiMap)) {
        if (send(cmd::GetMapCount(), r)) {
            mapCount_ = r.First;
            view_.SetMapCount(mapCount_);
            const bool gotActive = send(cmd::GetActiveMap(), r);
            // A failed read gives -1, which is no map: keep the map shown
            // when the box has it, else the first.
            const int maps = std::clamp(mapCount_, 1, 2);
            if (gotActive && r.First >= 0 && r.First < maps)
                view_.SelectMap(r.First);
            else
                view_.SelectMap(view_.CurrentMap() < maps ? view_.CurrentMap() : 0);
        } else {
            mapCount_ = 2;
            view_.SetMapCount(2);
            view_.SelectMap(1);
        }
    } else {
        mapCount_ = 1;
        view_.SetMapCount(1);
        view_.SelectMap(0);
    }

    if (send(cmd::GetMapSize(), r))
        view_.SetMapGeometry(r.First, r.Second);
    else
        view_.SetMapGeometry(8, 10);

    view_.SetCloneVisible(mapCount_ > 1);

    if (Supports(ffSwitchNote) && send(cmd::GetSwitchNote(), r)) {
        view_.SetSwitchGroupVisible(true);
        view_.SetSwitchNote(r.First);
    } else {
        view_.SetSwitchGroupVisible(false);
    }

    view_.BoxGreeted();
}

} // namespace zembrik
