// A minimal window stand-in for tests: a controller, a device link and the
// connection routine the window runs on every arrival and removal (release
// the current device, enumerate, greet).  Records the controller's events in
// order so that tests can check them.
#pragma once

#include "device/DeviceLink.h"
#include "device/JvHid.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QTest>

namespace zembrik::test {

class LinkHarness {
public:
    explicit LinkHarness(IHidPlatform *platform, bool reconnectOnEvents = true)
        : controller(platform), link(&controller)
    {
        controller.OnEnumerate = [this](TJvHidDevice *d, int i) { return link.HIDControllerEnumerate(d, i); };
        controller.OnDeviceData = [this](TJvHidDevice *d, quint8 id, const quint8 *data, quint16 size) {
            ++reports;
            link.HIDControllerDeviceData(d, id, data, size);
        };
        controller.OnArrival = [this, reconnectOnEvents](TJvHidDevice *d) {
            events << QStringLiteral("arrival %1 at %2").arg(d->ProductString()).arg(controller.IndexOf(d));
            if (reconnectOnEvents && !connected)
                reconnect();
        };
        controller.OnRemoval = [this, reconnectOnEvents](TJvHidDevice *d) {
            events << QStringLiteral("removal %1").arg(d->ProductString());
            if (reconnectOnEvents)
                reconnect();
        };
        controller.OnDeviceChange = [this](TJvHidDeviceController *) { events << QStringLiteral("change"); };
    }

    // What the window's connection routine does with the device link.
    void reconnect()
    {
        if (TJvHidDevice *old = link.CurrentDevice) {
            link.CurrentDevice = nullptr;
            controller.ReleaseDevice(old);
        }
        connected = false;
        link.AccessError.clear();
        controller.EnumerateDevices();
        if (!link.CurrentDevice)
            return;
        TCommandReply r;
        connected = link.SendCommand(cmd::Hello(), r) && r.First == kHelloArg1 && r.Second == kHelloArg2;
        ++greetings;
    }

    // Spins the event loop until pred holds or the time is up.
    template <typename Pred> static bool waitFor(Pred pred, int timeoutMs = 3000)
    {
        QElapsedTimer t;
        t.start();
        while (!pred()) {
            if (t.elapsed() > timeoutMs)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QTest::qSleep(1);
        }
        return true;
    }

    TJvHidDeviceController controller;
    TDeviceLink link;
    QStringList events;
    bool connected = false;
    int greetings = 0;
    int reports = 0;
};

} // namespace zembrik::test
