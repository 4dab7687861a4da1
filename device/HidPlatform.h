// The platform seam under the HID transport.
//
// TJvHidDeviceController never talks to the operating system itself: it asks
// an IHidPlatform for the list of HID interfaces that are present, for an open
// handle on one of them, and it listens to devicesChanged() to learn that the
// bus has changed.  The real binding is HidrawPlatform (libudev + hidapi's
// hidraw backend); tests and the demo plug in EmulatedHidPlatform instead.
//
// Handles are used from one thread at a time: the command handle only by the
// device's feature-report writer, the read handle only by its read thread.
#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace zembrik {

// One HID interface as the platform lists it, without opening it.
struct HidInterfaceInfo {
    // Identity across refreshes: the sysfs path of the HID device.  A re-plug
    // gives a new one; /dev/hidrawN names are reused and are not identities.
    QString identity;
    QString path; // the node to open, /dev/hidrawN
    quint16 vendorId = 0;
    quint16 productId = 0;
    quint16 versionNumber = 0;
    QString manufacturer;
    QString product;
    // Input report length in bytes, report-ID byte included (as Windows
    // counts it; a device without report IDs still gets a 0 ID byte).
    int inputReportLength = 65;
};

class IHidHandle {
public:
    virtual ~IHidHandle() = default;
    // Sends one feature report; data[0] is the report ID.  Returns the number
    // of bytes sent, or -1.  May block (a stalled device holds SET_REPORT).
    virtual int sendFeatureReport(const std::uint8_t *data, std::size_t length) = 0;
    // Reads one input report into buffer, report-ID byte first.  Returns the
    // byte count, 0 when timeoutMs passed without a report, -1 on error.
    virtual int readReport(std::uint8_t *buffer, std::size_t length, int timeoutMs) = 0;
    // The driver's input report queue.  setInputQueueLength returns false
    // when the driver refused; inputQueueLength reads back what is in force.
    virtual bool setInputQueueLength(int reports) = 0;
    virtual int inputQueueLength() const = 0;
    // Text of the last error, e.g. "Permission denied".
    virtual QString lastError() const = 0;
};

class IHidPlatform : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~IHidPlatform() override = default;

    virtual QList<HidInterfaceInfo> enumerate() = 0;
    // Opens the node for reading and writing.  On failure returns null and
    // sets *error to the cause ("Permission denied", "No such device", ...).
    virtual std::unique_ptr<IHidHandle> open(const QString &path, QString *error) = 0;

signals:
    // The set of HID interfaces may have changed.  A burst of changes is
    // announced once.
    void devicesChanged();
};

} // namespace zembrik
