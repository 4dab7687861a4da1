#include "emulator/UMockHidBus.h"

#include <umockdev.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace zembrik {

namespace {
// A mouse: buttons, x, y, wheel; 4-byte input reports.
QByteArray MouseReportDescriptor()
{
    static const unsigned char d[] = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x75, 0x08, 0x95,
                                      0x04, 0x15, 0x81, 0x25, 0x7F, 0x81, 0x06, 0xC0};
    return QByteArray(reinterpret_cast<const char *>(d), sizeof d);
}

QByteArray hex4(quint16 v)
{
    return QByteArray::number(v, 16).rightJustified(4, '0');
}
} // namespace

struct UMockHidBus::Device {
    int id = 0;
    quint16 vendorId = 0, productId = 0;
    QByteArray manufacturer, product;
    QByteArray descriptor;
    VirtualBox *box = nullptr;
    QByteArray usbPath, ifacePath, hidPath, rawPath;
    QByteArray devnode; // /dev/hidrawN
    int master = -1;
    int slave = -1;
    UMockdevIoctlBase *handler = nullptr;
    std::atomic<bool> gone{false};
};

namespace {

constexpr unsigned long iocType(unsigned long request)
{
    return (request >> 8) & 0xFF;
}
constexpr unsigned long iocNr(unsigned long request)
{
    return request & 0xFF;
}
constexpr unsigned long iocSize(unsigned long request)
{
    return (request >> 16) & 0x3FFF;
}

// Answers the ioctls hidapi issues.  Runs on umockdev's worker thread.
gboolean handleIoctl(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer userData)
{
    auto *dev = static_cast<UMockHidBus::Device *>(userData);
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    if (iocType(request) != 'H') {
        umockdev_ioctl_client_complete(client, -1, ENOTTY);
        return TRUE;
    }
    if (dev->gone.load()) {
        umockdev_ioctl_client_complete(client, -1, ENODEV);
        return TRUE;
    }
    UMockdevIoctlData *arg = umockdev_ioctl_client_get_arg(client);
    const std::size_t size = iocSize(request);
    GError *error = nullptr;
    switch (iocNr(request)) {
    case 0x01: { // HIDIOCGRDESCSIZE
        UMockdevIoctlData *data = umockdev_ioctl_data_resolve(arg, 0, sizeof(int), &error);
        if (!data)
            break;
        int n = dev->descriptor.size();
        umockdev_ioctl_data_update(data, 0, reinterpret_cast<guint8 *>(&n), sizeof n);
        umockdev_ioctl_data_unref(data);
        umockdev_ioctl_client_complete(client, 0, 0);
        return TRUE;
    }
    case 0x02: { // HIDIOCGRDESC
        UMockdevIoctlData *data = umockdev_ioctl_data_resolve(arg, 0, sizeof(hidraw_report_descriptor), &error);
        if (!data)
            break;
        hidraw_report_descriptor rd{};
        rd.size = static_cast<__u32>(dev->descriptor.size());
        std::memcpy(rd.value, dev->descriptor.constData(), dev->descriptor.size());
        umockdev_ioctl_data_update(data, 0, reinterpret_cast<guint8 *>(&rd), sizeof rd);
        umockdev_ioctl_data_unref(data);
        umockdev_ioctl_client_complete(client, 0, 0);
        return TRUE;
    }
    case 0x03: { // HIDIOCGRAWINFO
        UMockdevIoctlData *data = umockdev_ioctl_data_resolve(arg, 0, sizeof(hidraw_devinfo), &error);
        if (!data)
            break;
        hidraw_devinfo info{};
        info.bustype = 3;
        info.vendor = static_cast<__s16>(dev->vendorId);
        info.product = static_cast<__s16>(dev->productId);
        umockdev_ioctl_data_update(data, 0, reinterpret_cast<guint8 *>(&info), sizeof info);
        umockdev_ioctl_data_unref(data);
        umockdev_ioctl_client_complete(client, 0, 0);
        return TRUE;
    }
    case 0x06: { // HIDIOCSFEATURE(len)
        UMockdevIoctlData *data = umockdev_ioctl_data_resolve(arg, 0, size, &error);
        if (!data)
            break;
        int sent = static_cast<int>(size);
        if (dev->box)
            sent = dev->box->receiveFeatureReport(data->data, size);
        umockdev_ioctl_data_unref(data);
        if (dev->gone.load())
            umockdev_ioctl_client_complete(client, -1, ENODEV);
        else
            umockdev_ioctl_client_complete(client, sent, 0);
        return TRUE;
    }
    default:
        umockdev_ioctl_client_complete(client, -1, EINVAL);
        return TRUE;
    }
    if (error)
        g_error_free(error);
    umockdev_ioctl_client_complete(client, -1, EFAULT);
    return TRUE;
}

} // namespace

bool UMockHidBus::InMockEnvironment()
{
    // Only the preload library makes the testbed visible to libudev/hidapi.
    return qEnvironmentVariable("LD_PRELOAD").contains(QStringLiteral("libumockdev-preload"));
}

UMockHidBus::UMockHidBus()
{
    testbed_ = umockdev_testbed_new();
}

UMockHidBus::~UMockHidBus()
{
    while (!devices_.empty())
        unplug(devices_.begin()->first);
    g_object_unref(testbed_);
}

QString UMockHidBus::rootDir() const
{
    gchar *root = umockdev_testbed_get_root_dir(testbed_);
    const QString r = QString::fromUtf8(root);
    g_free(root);
    return r;
}

QString UMockHidBus::devnode(int id) const
{
    auto it = devices_.find(id);
    return it == devices_.end() ? QString() : QString::fromUtf8(it->second->devnode);
}

int UMockHidBus::plugBox(VirtualBox *box)
{
    auto dev = std::make_unique<Device>();
    const BoxConfig c = box->config();
    dev->vendorId = c.vendorId;
    dev->productId = c.productId;
    dev->manufacturer = c.manufacturer.toUtf8();
    dev->product = c.product.toUtf8();
    dev->descriptor = BoxReportDescriptor();
    dev->box = box;
    return plug(std::move(dev));
}

int UMockHidBus::plugOther(quint16 vendorId, quint16 productId, const QString &product)
{
    auto dev = std::make_unique<Device>();
    dev->vendorId = vendorId;
    dev->productId = productId;
    dev->manufacturer = "Generic";
    dev->product = product.toUtf8();
    dev->descriptor = MouseReportDescriptor();
    return plug(std::move(dev));
}

int UMockHidBus::plug(std::unique_ptr<Device> dev)
{
    Device *d = dev.get();
    d->id = nextId_++;
    const int usb = nextUsb_++;
    const int hid = nextHid_++;
    const int raw = nextRaw_++;

    // The node: a pty in raw mode, so that bytes pass unchanged.
    termios tio{};
    cfmakeraw(&tio);
    char ptsName[128] = {};
    if (openpty(&d->master, &d->slave, ptsName, &tio, nullptr) != 0)
        return -1;
    fcntl(d->master, F_SETFL, fcntl(d->master, F_GETFL) | O_NONBLOCK);
    fcntl(d->master, F_SETFD, FD_CLOEXEC);
    fcntl(d->slave, F_SETFD, FD_CLOEXEC);
    struct stat st {};
    fstat(d->slave, &st);
    const QByteArray major = QByteArray::number(::major(st.st_rdev));
    const QByteArray minor = QByteArray::number(::minor(st.st_rdev));

    const QByteArray usbName = "1-" + QByteArray::number(usb);
    gchar *p = umockdev_testbed_add_device(testbed_, "usb", usbName.constData(), nullptr,
                                           // attributes
                                           "idVendor", hex4(d->vendorId).constData(), "idProduct",
                                           hex4(d->productId).constData(), "manufacturer", d->manufacturer.constData(),
                                           "product", d->product.constData(), "bcdDevice", "0100", nullptr,
                                           // properties
                                           "DEVTYPE", "usb_device", nullptr);
    d->usbPath = p;
    g_free(p);
    const QByteArray ifaceName = usbName + ":1.0";
    p = umockdev_testbed_add_device(testbed_, "usb", ifaceName.constData(), d->usbPath.constData(), "bInterfaceNumber",
                                    "00", nullptr, "DEVTYPE", "usb_interface", nullptr);
    d->ifacePath = p;
    g_free(p);
    const QByteArray hidName = "0003:" + hex4(d->vendorId).toUpper() + ":" + hex4(d->productId).toUpper() + "." +
                               QByteArray::number(hid, 16).rightJustified(4, '0').toUpper();
    const QByteArray hidId = "0003:0000" + hex4(d->vendorId).toUpper() + ":0000" + hex4(d->productId).toUpper();
    const QByteArray phys = "usb-0000:00:14.0-" + QByteArray::number(usb) + "/input0";
    p = umockdev_testbed_add_device(testbed_, "hid", hidName.constData(), d->ifacePath.constData(), nullptr, "HID_ID",
                                    hidId.constData(), "HID_NAME", d->product.constData(), "HID_UNIQ", "", "HID_PHYS",
                                    phys.constData(), nullptr);
    d->hidPath = p;
    g_free(p);
    umockdev_testbed_set_attribute_binary(testbed_, d->hidPath.constData(), "report_descriptor",
                                          reinterpret_cast<guint8 *>(d->descriptor.data()), d->descriptor.size());

    const QByteArray rawName = "hidraw" + QByteArray::number(raw);
    d->devnode = "/dev/" + rawName;
    p = umockdev_testbed_add_device(testbed_, "hidraw", rawName.constData(), d->hidPath.constData(), "dev",
                                    (major + ":" + minor).constData(), nullptr, "DEVNAME", d->devnode.constData(),
                                    "MAJOR", major.constData(), "MINOR", minor.constData(), nullptr);
    d->rawPath = p;
    g_free(p);
    umockdev_testbed_set_attribute_link(testbed_, d->rawPath.constData(), "device", "../..");

    // umockdev made a node of its own; ours is the pty.
    const QByteArray node = (rootDir() + QString::fromUtf8(d->devnode)).toLocal8Bit();
    ::unlink(node.constData());
    if (::symlink(ptsName, node.constData()) != 0)
        qWarning("cannot link %s: %s", node.constData(), std::strerror(errno));

    d->handler = umockdev_ioctl_base_new();
    g_signal_connect(d->handler, "handle-ioctl", G_CALLBACK(handleIoctl), d);
    GError *error = nullptr;
    if (!umockdev_testbed_attach_ioctl(testbed_, d->devnode.constData(), d->handler, &error)) {
        qWarning("attach_ioctl: %s", error ? error->message : "?");
        if (error)
            g_error_free(error);
    }

    if (d->box) {
        // The box may ask to be unplugged from umockdev's thread; the
        // testbed is changed on the thread that owns it.
        d->box->setUnplugHandler([this, id = d->id] {
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [this, id] { unplug(id); }, Qt::QueuedConnection);
        });
        const int master = d->master;
        Device *self = d;
        d->box->setSink([self, master](const quint8 *data, std::size_t length) {
            if (self->gone.load())
                return;
            // A full pty drops the report, as a full hidraw queue does.
            const ssize_t n = ::write(master, data, length);
            (void)n;
        });
    }
    umockdev_testbed_uevent(testbed_, d->rawPath.constData(), "add");
    const int id = d->id;
    devices_.emplace(id, std::move(dev));
    return id;
}

void UMockHidBus::unplug(int id)
{
    auto it = devices_.find(id);
    if (it == devices_.end())
        return;
    Device *d = it->second.get();
    d->gone = true;
    if (d->box) {
        d->box->setSink({});
        d->box->setUnplugHandler({});
    }
    // The kernel's order: the remove event, then a hang-up on open handles.
    umockdev_testbed_uevent(testbed_, d->rawPath.constData(), "remove");
    ::close(d->master);
    ::close(d->slave);
    umockdev_testbed_detach_ioctl(testbed_, d->devnode.constData(), nullptr);
    umockdev_testbed_remove_device(testbed_, d->rawPath.constData());
    umockdev_testbed_remove_device(testbed_, d->hidPath.constData());
    umockdev_testbed_remove_device(testbed_, d->ifacePath.constData());
    umockdev_testbed_remove_device(testbed_, d->usbPath.constData());
    const QString root = rootDir();
    QFile::remove(root + QString::fromUtf8(d->devnode));
    QDir ptymap(root + QStringLiteral("/dev/.ptymap"));
    for (const QFileInfo &fi : ptymap.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot))
        if (fi.fileName().contains(QString::fromUtf8(d->devnode.mid(5))))
            QFile::remove(fi.absoluteFilePath());
    g_object_unref(d->handler);
    d->handler = nullptr;
    retired_.push_back(std::move(it->second));
    devices_.erase(it);
}

} // namespace zembrik
