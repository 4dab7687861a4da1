// Program entry.  Until the main window exists this is a console program that
// follows the HID bus, greets the box when it appears and reports what it
// found.
#include "DeviceLink.h"
#include "HidrawPlatform.h"
#include "JvHid.h"

#include <QCoreApplication>
#include <QTextStream>

using namespace zembrik;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("MIDI Zembrik Setup"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZEMBRIK_VERSION));
    QTextStream out(stdout);

    HidrawPlatform platform;
    TJvHidDeviceController controller(&platform);
    TDeviceLink link(&controller);
    bool connected = false;

    auto connectBox = [&] {
        if (TJvHidDevice *old = link.CurrentDevice) {
            link.CurrentDevice = nullptr;
            controller.ReleaseDevice(old);
        }
        connected = false;
        link.AccessError.clear();
        controller.EnumerateDevices();
        if (!link.AccessError.isEmpty())
            out << "MIDI Zembrik found but cannot be opened: " << link.AccessError << Qt::endl;
        if (!link.CurrentDevice) {
            out << "No MIDI Zembrik found." << Qt::endl;
            return;
        }
        TCommandReply hello, version;
        connected = link.SendCommand(cmd::Hello(), hello) && hello.First == kHelloArg1 && hello.Second == kHelloArg2;
        if (!connected) {
            out << "A device answers to the box's identifiers but not to its greeting." << Qt::endl;
            return;
        }
        link.SendCommand(cmd::GetVersion(), version);
        out << link.CurrentDevice->ProductString() << " found, firmware " << version.First << "." << version.Second
            << Qt::endl;
    };
    controller.OnEnumerate = [&](TJvHidDevice *d, int i) { return link.HIDControllerEnumerate(d, i); };
    controller.OnDeviceData = [&](TJvHidDevice *d, quint8 id, const quint8 *data, quint16 size) {
        link.HIDControllerDeviceData(d, id, data, size);
    };
    controller.OnArrival = [&](TJvHidDevice *) {
        if (!connected)
            connectBox();
    };
    controller.OnRemoval = [&](TJvHidDevice *) { connectBox(); };
    return app.exec();
}
