// Virtual boxes as real /dev/hidraw nodes, for end-to-end tests and the demo.
//
// Under umockdev-wrapper the process sees a fake sysfs and /dev, so libudev
// and hidapi run their real code against it.  Each plugged device gets the
// sysfs chain usb_device / usb_interface / hid / hidraw, a report descriptor
// and a pty as its node.  Feature reports arrive as HIDIOCSFEATURE ioctls and
// go to the VirtualBox; its input reports are written to the pty's master
// side, where hidapi reads them.
//
// Create one UMockHidBus before anything else touches udev or hidapi, and only
// when InMockEnvironment() is true; otherwise the real system would be seen.
#pragma once

#include "emulator/VirtualBox.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <memory>
#include <vector>

struct _UMockdevTestbed;

namespace zembrik {

class UMockHidBus {
public:
    UMockHidBus();
    ~UMockHidBus();
    UMockHidBus(const UMockHidBus &) = delete;
    UMockHidBus &operator=(const UMockHidBus &) = delete;

    static bool InMockEnvironment();

    // Plugs a box (not owned; it must outlive the plug).  Returns a plug id.
    int plugBox(VirtualBox *box);
    // Plugs an inert HID device such as a mouse.
    int plugOther(quint16 vendorId, quint16 productId, const QString &product);
    void unplug(int id);
    QString devnode(int id) const;
    QString rootDir() const;

    struct Device;

private:
    int plug(std::unique_ptr<Device> dev);

    ::_UMockdevTestbed *testbed_ = nullptr;
    std::map<int, std::unique_ptr<Device>> devices_;
    // Unplugged devices stay allocated: a late callback may still hold one.
    std::vector<std::unique_ptr<Device>> retired_;
    int nextId_ = 1;
    int nextUsb_ = 1;
    int nextHid_ = 1;
    int nextRaw_ = 0;
};

} // namespace zembrik
