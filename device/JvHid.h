// The HID transport: the device controller, its device objects and their
// read threads.
//
// TJvHidDeviceController (one per main window, living on the UI thread) keeps
// the ordered list of HID interfaces, refreshes it when the platform reports
// a change, offers devices to the window's filter, and claims and releases
// them.  A claimed device gets a TJvHidDeviceReadThread that reads input
// reports and queues them, with the time they were read, for the UI thread;
// the UI thread hands them to OnDeviceData one at a time, in order.  The
// reader never waits for the UI thread, so a busy window cannot make the
// kernel drop reports.  Feature reports go out on a writer thread of the
// device, so a stalled box cannot freeze the window.
//
// The controller owns every device object; a window keeps plain pointers and
// must drop them when it releases a device or is told of its removal.
#pragma once

#include "device/HidPlatform.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>

namespace zembrik {

class TJvHidDevice;
class TJvHidDeviceController;
class FeatureWriter;

// Raised by the transport; its message is meant for the user.
class EControllerError : public std::runtime_error {
public:
    explicit EControllerError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

struct TJvHidPnPInfo {
    QString DevicePath;     // node to open
    QString DeviceInstance; // identity across refreshes
};

using TJvHidPlugEvent = std::function<void(TJvHidDevice *)>;
using TJvHidEnumerateEvent = std::function<bool(TJvHidDevice *, int)>;
// One input report as it is handed to the UI thread, with the monotonic
// time (ns) at which the read thread took it from the device.
struct TJvHidReport {
    quint8 ReportID = 0;
    const quint8 *Data = nullptr; // report-ID byte excluded
    quint16 Size = 0;
    qint64 ReadAtNs = 0;
};
using TJvHidDataEvent = std::function<void(TJvHidDevice *, const TJvHidReport &)>;
using TJvHidDataErrorEvent = std::function<void(TJvHidDevice *, quint32 error)>;
using TJvHidChangeEvent = std::function<void(TJvHidDeviceController *)>;

// A read thread's queue towards the UI thread.
struct TQueuedReport {
    QByteArray bytes; // report-ID byte first
    qint64 readAtNs = 0;
};

class TJvHidDeviceReadThread : public QThread {
    Q_OBJECT
public:
    TJvHidDeviceReadThread(TJvHidDevice *device, IHidPlatform *platform, std::unique_ptr<IHidHandle> handle);
    ~TJvHidDeviceReadThread() override;
    // Asks the thread to end; it notices within one wait slice.
    void Stop();

protected:
    void run() override;

private:
    bool sleepSlice();
    TJvHidDevice *device_;
    IHidPlatform *platform_;
    std::unique_ptr<IHidHandle> handle_;
    QString path_;
    int length_;
    int sliceMs_;
    std::mutex stopMutex_;
    std::condition_variable stopCv_;
    bool stop_ = false;
};

class TJvHidDevice : public QObject {
    Q_OBJECT
    friend class TJvHidDeviceController;
    friend class TJvHidDeviceReadThread;

public:
    ~TJvHidDevice() override;

    const TJvHidPnPInfo &PnPInfo() const { return pnp_; }
    quint16 VendorID() const { return info_.vendorId; }
    quint16 ProductID() const { return info_.productId; }
    quint16 VersionNumber() const { return info_.versionNumber; }
    QString ManufacturerString() const { return info_.manufacturer.left(254); }
    QString ProductString() const { return info_.product.left(254); }
    int InputReportLength() const { return info_.inputReportLength; }

    bool PluggedIn() const { return pluggedIn_; }
    bool Claimed() const { return claimed_; }
    bool IsBeingEnumerated() const { return beingEnumerated_; }
    bool HasReadWriteAccess() const { return readWriteAccess_; }
    bool HasReadThread() const { return thread_ != nullptr; }
    // Why the last attempt to open the device failed, naming the node,
    // e.g. "/dev/hidraw3: Permission denied"; empty after a good open.
    QString OpenError() const { return openError_; }

    bool SetInputBuffers(int n);
    bool SetReadBuffers(int n);
    int NumInputBuffers() const { return numInputBuffers_; }
    int NumReadBuffers() const { return numReadBuffers_; }

    // Queues the report for the device's writer and returns at once; false
    // when the command handle cannot be opened.
    bool SendFeatureReport(const quint8 *buffer, int length);

    int ThreadSleepTime() const { return sleepTime_; }
    void SetThreadSleepTime(int ms);

    // Reports read but lost because the queue towards the UI thread was full.
    quint64 DroppedReports() const { return dropped_.load(); }
    static constexpr int kReportQueueCapacity = 8192;
    // Tests shrink the queue to provoke an overflow.
    void SetReportQueueCapacity(int reports) { queueCapacity_ = reports; }

signals:
    // Emitted when the device is found gone or is released.
    void Gone();

private:
    TJvHidDevice(TJvHidDeviceController *controller, IHidPlatform *platform, const HidInterfaceInfo &info,
                 TJvHidDataEvent handler, int sleepTime);
    bool canOpen() const { return pluggedIn_ && (claimed_ || beingEnumerated_); }
    bool openCommandHandle();
    std::unique_ptr<IHidHandle> openReadHandle();
    void CloseHandles();
    void startThread();
    void stopThread();
    // Read-thread side.
    void queueReport(const quint8 *bytes, int length, qint64 readAtNs);
    void queueError(quint32 code);
    // UI side.
    void deliverNext();

    TJvHidDeviceController *controller_;
    IHidPlatform *platform_;
    HidInterfaceInfo info_;
    TJvHidPnPInfo pnp_;
    TJvHidDataEvent handler_;
    int sleepTime_;

    std::shared_ptr<IHidHandle> commandHandle_;
    std::unique_ptr<IHidHandle> readHandle_; // while unclaimed; the thread takes it over
    std::unique_ptr<FeatureWriter> writer_;
    TJvHidDeviceReadThread *thread_ = nullptr;
    bool pluggedIn_ = true;
    bool claimed_ = false;
    bool beingEnumerated_ = false;
    bool readWriteAccess_ = false;
    bool released_ = false;
    int numInputBuffers_ = 0;
    int numReadBuffers_ = 0;
    QString openError_;

    std::mutex queueMutex_;
    std::deque<TQueuedReport> queue_;
    bool deliveryPosted_ = false;
    std::atomic<int> queueCapacity_{kReportQueueCapacity};
    std::atomic<quint64> dropped_{0};
};

class TJvHidDeviceController : public QObject {
    Q_OBJECT
public:
    // The platform must outlive the controller.
    explicit TJvHidDeviceController(IHidPlatform *platform, QObject *parent = nullptr);
    ~TJvHidDeviceController() override;

    int EnumerateDevices();
    TJvHidDevice *ClaimDevice(int index);
    void ReleaseDevice(TJvHidDevice *device);

    int Count() const { return devices_.size(); }
    TJvHidDevice *Device(int index) const { return devices_.value(index); }
    int IndexOf(const TJvHidDevice *device) const;

    int DevThreadSleepTime() const { return devThreadSleepTime_; }
    void SetDevThreadSleepTime(int ms);

    // Runs a refresh now, or once more after the one running.
    void DeviceChange();
    bool RefreshInProgress() const { return refreshing_; }
    int RefreshCount() const { return refreshCount_; }

    TJvHidPlugEvent OnArrival;
    TJvHidPlugEvent OnRemoval;
    TJvHidEnumerateEvent OnEnumerate;
    TJvHidDataEvent OnDeviceData;
    TJvHidDataErrorEvent OnDeviceDataError;
    TJvHidChangeEvent OnDeviceChange;
    TJvHidPlugEvent OnDeviceUnplug;

private:
    friend class TJvHidDevice;
    void RefreshDeviceList();
    IHidPlatform *platform_;
    QList<TJvHidDevice *> devices_;
    int devThreadSleepTime_ = 100;
    bool refreshing_ = false;
    bool refreshAgain_ = false;
    bool firstRefresh_ = true;
    bool destroying_ = false;
    int refreshCount_ = 0;
};

} // namespace zembrik
