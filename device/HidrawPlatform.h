// The Linux binding of the HID transport: interfaces are listed from udev
// (sysfs) without opening them, changes come from a udev monitor on the
// hidraw subsystem, and handles are hidapi's hidraw devices.
//
// Created and owned by the program's entry point; lives on the UI thread.
#pragma once

#include "device/HidPlatform.h"

#include <QTimer>

struct udev;
struct udev_monitor;
class QSocketNotifier;

namespace zembrik {

class HidrawPlatform : public IHidPlatform {
    Q_OBJECT
public:
    explicit HidrawPlatform(QObject *parent = nullptr);
    ~HidrawPlatform() override;

    QList<HidInterfaceInfo> enumerate() override;
    std::unique_ptr<IHidHandle> open(const QString &path, QString *error) override;

    // Quiet time after the last udev event before devicesChanged is emitted.
    static constexpr int kCoalesceMs = 30;

private:
    void drainMonitor();

    struct udev *udev_ = nullptr;
    struct udev_monitor *monitor_ = nullptr;
    QSocketNotifier *notifier_ = nullptr;
    QTimer coalesce_;
};

} // namespace zembrik
