#include "device/HidrawPlatform.h"

#include "device/HidReportDescriptor.h"

#include <QFile>
#include <QSocketNotifier>

#include <hidapi.h>
#include <libudev.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace zembrik {

namespace {

QString sysattr(struct udev_device *dev, const char *name)
{
    const char *v = dev ? udev_device_get_sysattr_value(dev, name) : nullptr;
    return v ? QString::fromUtf8(v).trimmed() : QString();
}

// HID_ID reads "bus:vendor:product" in hex, e.g. "0003:000012BA:00000210".
bool parseHidId(const char *hidId, quint16 *vendor, quint16 *product)
{
    if (!hidId)
        return false;
    const QList<QByteArray> parts = QByteArray(hidId).split(':');
    if (parts.size() != 3)
        return false;
    bool okV = false, okP = false;
    const uint v = parts[1].toUInt(&okV, 16);
    const uint p = parts[2].toUInt(&okP, 16);
    if (!okV || !okP || v > 0xFFFF || p > 0xFFFF)
        return false;
    *vendor = static_cast<quint16>(v);
    *product = static_cast<quint16>(p);
    return true;
}

class HidrawHandle final : public IHidHandle {
public:
    HidrawHandle(hid_device *dev, bool usesReportIds) : dev_(dev), usesReportIds_(usesReportIds) {}
    ~HidrawHandle() override { hid_close(dev_); }

    int sendFeatureReport(const std::uint8_t *data, std::size_t length) override
    {
        const int n = hid_send_feature_report(dev_, data, length);
        if (n < 0)
            takeError();
        return n;
    }

    int readReport(std::uint8_t *buffer, std::size_t length, int timeoutMs) override
    {
        if (length < 1)
            return -1;
        // hidraw leaves out the report-ID byte of devices that do not number
        // their reports; the transport always wants it first.
        if (usesReportIds_) {
            const int n = hid_read_timeout(dev_, buffer, length, timeoutMs);
            if (n < 0)
                takeError();
            return n;
        }
        const int n = hid_read_timeout(dev_, buffer + 1, length - 1, timeoutMs);
        if (n < 0) {
            takeError();
            return -1;
        }
        if (n == 0)
            return 0;
        buffer[0] = 0;
        return n + 1;
    }

    // hidraw keeps a fixed queue of 64 reports per open handle; it cannot be
    // changed.  The read thread's own queue takes over from there.
    bool setInputQueueLength(int reports) override { return reports == kHidrawQueue; }
    int inputQueueLength() const override { return kHidrawQueue; }
    QString lastError() const override { return error_; }

private:
    static constexpr int kHidrawQueue = 64;
    void takeError()
    {
        const wchar_t *e = hid_error(dev_);
        error_ = e ? QString::fromWCharArray(e) : QStringLiteral("I/O error");
    }
    hid_device *dev_;
    bool usesReportIds_;
    QString error_;
};

} // namespace

HidrawPlatform::HidrawPlatform(QObject *parent) : IHidPlatform(parent)
{
    hid_init();
    udev_ = udev_new();
    coalesce_.setSingleShot(true);
    coalesce_.setInterval(kCoalesceMs);
    connect(&coalesce_, &QTimer::timeout, this, &IHidPlatform::devicesChanged);
    if (!udev_)
        return;
    // Processed events ("udev", not "kernel"): by the time we hear of a node
    // its permissions and tags have been applied.
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (monitor_) {
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr);
        if (udev_monitor_enable_receiving(monitor_) == 0) {
            notifier_ = new QSocketNotifier(udev_monitor_get_fd(monitor_), QSocketNotifier::Read, this);
            connect(notifier_, &QSocketNotifier::activated, this, &HidrawPlatform::drainMonitor);
        }
    }
}

HidrawPlatform::~HidrawPlatform()
{
    delete notifier_;
    if (monitor_)
        udev_monitor_unref(monitor_);
    if (udev_)
        udev_unref(udev_);
}

void HidrawPlatform::drainMonitor()
{
    bool any = false;
    while (struct udev_device *d = udev_monitor_receive_device(monitor_)) {
        udev_device_unref(d);
        any = true;
    }
    if (any)
        coalesce_.start(); // restart: one refresh per burst
}

QList<HidInterfaceInfo> HidrawPlatform::enumerate()
{
    QList<HidInterfaceInfo> result;
    if (!udev_)
        return result;
    struct udev_enumerate *en = udev_enumerate_new(udev_);
    udev_enumerate_add_match_subsystem(en, "hidraw");
    udev_enumerate_scan_devices(en);
    struct udev_list_entry *entry;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(en))
    {
        struct udev_device *raw = udev_device_new_from_syspath(udev_, udev_list_entry_get_name(entry));
        if (!raw)
            continue;
        const char *node = udev_device_get_devnode(raw);
        struct udev_device *hid = udev_device_get_parent_with_subsystem_devtype(raw, "hid", nullptr);
        HidInterfaceInfo info;
        if (node && hid && parseHidId(udev_device_get_property_value(hid, "HID_ID"), &info.vendorId, &info.productId)) {
            info.path = QString::fromUtf8(node);
            info.identity = QString::fromUtf8(udev_device_get_syspath(hid));
            struct udev_device *usb = udev_device_get_parent_with_subsystem_devtype(raw, "usb", "usb_device");
            if (usb) {
                info.manufacturer = sysattr(usb, "manufacturer");
                info.product = sysattr(usb, "product");
                info.versionNumber = static_cast<quint16>(sysattr(usb, "bcdDevice").toUInt(nullptr, 16));
            } else if (const char *name = udev_device_get_property_value(hid, "HID_NAME")) {
                info.product = QString::fromUtf8(name);
            }
            QFile rd(info.identity + QStringLiteral("/report_descriptor"));
            if (rd.open(QIODevice::ReadOnly)) {
                const HidReportLayout layout = ParseReportDescriptor(rd.readAll());
                if (layout.valid)
                    info.inputReportLength = layout.inputReportLength();
            }
            result.append(info);
        }
        udev_device_unref(raw);
    }
    udev_enumerate_unref(en);
    return result;
}

std::unique_ptr<IHidHandle> HidrawPlatform::open(const QString &path, QString *error)
{
    const QByteArray p = path.toLocal8Bit();
    errno = 0;
    hid_device *dev = hid_open_path(p.constData());
    if (!dev) {
        const int err = errno;
        if (error) {
            if (err != 0)
                *error = QString::fromLocal8Bit(std::strerror(err));
            else if (const wchar_t *e = hid_error(nullptr))
                *error = QString::fromWCharArray(e);
            else
                *error = QStringLiteral("cannot be opened");
        }
        return nullptr;
    }
    // Whether reports are numbered decides how reads are framed.
    bool usesIds = false;
    if (udev_) {
        const QByteArray sysname = path.section(QLatin1Char('/'), -1).toLocal8Bit();
        if (struct udev_device *raw = udev_device_new_from_subsystem_sysname(udev_, "hidraw", sysname.constData())) {
            if (struct udev_device *hid = udev_device_get_parent_with_subsystem_devtype(raw, "hid", nullptr)) {
                QFile rd(QString::fromUtf8(udev_device_get_syspath(hid)) + QStringLiteral("/report_descriptor"));
                if (rd.open(QIODevice::ReadOnly))
                    usesIds = ParseReportDescriptor(rd.readAll()).usesReportIds;
            }
            udev_device_unref(raw);
        }
    }
    return std::make_unique<HidrawHandle>(dev, usesIds);
}

} // namespace zembrik
