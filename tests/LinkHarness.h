// The device link as the program wires it, for tests: a controller, the
// device link attached to it, and the real connection routine driving a
// view that shows nothing.  Records the controller's events in order so that
// tests can check them.  Also the shared helpers: waiting in the event loop,
// and the box's received commands as text.
#pragma once

#include "device/Connection.h"
#include "device/DeviceLink.h"
#include "device/JvHid.h"
#include "device/NullConnectionView.h"
#include "emulator/EmulatedHidPlatform.h"
#include "emulator/VirtualBox.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QTest>

namespace zembrik::test {

// The view that shows nothing, counting the greetings tried.
class NullView : public TNullConnectionView {
public:
    using TNullConnectionView::TNullConnectionView;
    // Runs at the end of every connection routine; one that found a box
    // has tried to greet it.
    void ShowConnectionState(bool) override
    {
        if (link_.CurrentDevice)
            ++greetings;
    }
    int greetings = 0;
};

// Commands the box received, as "05 18(0) 12(1)": the code in hex, and the
// first argument of the commands whose argument tells what they did.
inline QString WireText(const VirtualBox &box)
{
    QStringList codes;
    for (const ReceivedCommand &c : box.commands())
        codes << QStringLiteral("%1").arg(c.code, 2, 16, QLatin1Char('0')) +
                     (c.code == CMD_SET_GAME_MODE || c.code == CMD_SET_SWITCH_NOTE || c.code == CMD_SELECT_MAP
                          ? QStringLiteral("(%1)").arg(c.arg1)
                          : QString());
    return codes.join(QLatin1Char(' '));
}

class LinkHarness {
public:
    // Without reconnectOnEvents the connection routine never runs: the
    // transport's own behaviour is under test.
    explicit LinkHarness(IHidPlatform *platform, bool reconnectOnEvents = true)
        : controller(platform), link(&controller), view(link), connection(link, view)
    {
        if (!reconnectOnEvents)
            QObject::disconnect(&link, nullptr, &connection, nullptr);
        QObject::connect(&link, &TDeviceLink::Arrival, [this](TJvHidDevice *d) {
            events << QStringLiteral("arrival %1 at %2").arg(d->ProductString()).arg(controller.IndexOf(d));
        });
        QObject::connect(&link, &TDeviceLink::Removal,
                         [this](TJvHidDevice *d) { events << QStringLiteral("removal %1").arg(d->ProductString()); });
        QObject::connect(&link, &TDeviceLink::ReportReceived, [this] { ++reports; });
        controller.OnDeviceChange = [this](TJvHidDeviceController *) { events << QStringLiteral("change"); };
    }

    bool connected() const { return connection.Connected(); }
    // Greetings tried: connection routines that found a box to greet.
    int greetings() const { return view.greetings; }

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
    NullView view;
    TConnection connection;
    QStringList events;
    int reports = 0;
};

// One emulated box on the in-process bus, with the link wired to it.
struct BoxRig {
    EmulatedHidPlatform bus;
    VirtualBox box;
    LinkHarness h{&bus};
    int plug;
    // What the box received while it was greeted.
    std::vector<ReceivedCommand> greeting;

    explicit BoxRig(const BoxConfig &config = {}) : box(config), plug(bus.plugBox(&box)) {}
    // Connected, with the greeting's commands taken off the box.
    bool ready()
    {
        if (!LinkHarness::waitFor([&] { return h.connected(); }))
            return false;
        greeting = box.commands();
        box.clearCommands();
        return true;
    }
};

} // namespace zembrik::test
