#include "device/JvHid.h"

#include <QScopeGuard>
#include <QSet>
#include <QTimer>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace zembrik {

namespace {
qint64 monotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
} // namespace

// Sends a device's feature reports in order on a thread of their own.  A
// device that stalls SET_REPORT (the kernel allows it up to 5 s) then holds
// only this thread.  All command-handle I/O happens here, which also keeps
// hidapi's one-thread-per-handle rule.
class FeatureWriter {
public:
    FeatureWriter() : state_(std::make_shared<State>())
    {
        thread_ = std::thread([s = state_] { run(s); });
    }

    ~FeatureWriter()
    {
        {
            std::lock_guard lock(state_->mutex);
            state_->stop = true;
        }
        state_->wake.notify_all();
        // Let what is queued go out (the end-session command is sent just
        // before the program quits), but never hang on a stalled device:
        // such a writer is left to finish on its own.
        std::unique_lock lock(state_->mutex);
        const bool done =
            state_->doneCv.wait_for(lock, std::chrono::milliseconds(kDrainMs), [this] { return state_->finished; });
        lock.unlock();
        if (done)
            thread_.join();
        else
            thread_.detach();
    }

    void post(std::shared_ptr<IHidHandle> handle, QByteArray bytes)
    {
        {
            std::lock_guard lock(state_->mutex);
            state_->jobs.push_back({std::move(handle), std::move(bytes)});
        }
        state_->wake.notify_one();
    }

private:
    static constexpr int kDrainMs = 500;
    struct Job {
        std::shared_ptr<IHidHandle> handle;
        QByteArray bytes;
    };
    struct State {
        std::mutex mutex;
        std::condition_variable wake;
        std::condition_variable doneCv;
        std::deque<Job> jobs;
        bool stop = false;
        bool finished = false;
    };

    static void run(std::shared_ptr<State> s)
    {
        for (;;) {
            std::unique_lock lock(s->mutex);
            s->wake.wait(lock, [&] { return s->stop || !s->jobs.empty(); });
            if (s->jobs.empty())
                break;
            Job job = std::move(s->jobs.front());
            s->jobs.pop_front();
            lock.unlock();
            job.handle->sendFeatureReport(reinterpret_cast<const std::uint8_t *>(job.bytes.constData()),
                                          static_cast<std::size_t>(job.bytes.size()));
            job.handle.reset(); // the last owner closes the handle here
        }
        std::lock_guard lock(s->mutex);
        s->finished = true;
        s->doneCv.notify_all();
    }

    std::shared_ptr<State> state_;
    std::thread thread_;
};

// ---------------------------------------------------------------- read thread

TJvHidDeviceReadThread::TJvHidDeviceReadThread(TJvHidDevice *device, IHidPlatform *platform,
                                               std::unique_ptr<IHidHandle> handle)
    : device_(device), platform_(platform), handle_(std::move(handle)), path_(device->PnPInfo().DevicePath),
      length_(std::max(device->InputReportLength(), 2)), sliceMs_(device->ThreadSleepTime())
{
}

TJvHidDeviceReadThread::~TJvHidDeviceReadThread()
{
    Stop();
    wait();
}

void TJvHidDeviceReadThread::Stop()
{
    {
        std::lock_guard lock(stopMutex_);
        stop_ = true;
    }
    stopCv_.notify_all();
    requestInterruption();
}

bool TJvHidDeviceReadThread::sleepSlice()
{
    std::unique_lock lock(stopMutex_);
    return !stopCv_.wait_for(lock, std::chrono::milliseconds(sliceMs_), [this] { return stop_; });
}

void TJvHidDeviceReadThread::run()
{
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(length_));
    const int queueLength = device_->NumReadBuffers();
    while (!isInterruptionRequested()) {
        if (!handle_) {
            QString error;
            handle_ = platform_->open(path_, &error);
            if (!handle_) {
                device_->queueError(ENODEV);
                if (!sleepSlice())
                    break;
                continue;
            }
            if (queueLength > 0)
                handle_->setInputQueueLength(queueLength);
        }
        std::memset(buffer.data(), 0, buffer.size());
        const int n = handle_->readReport(buffer.data(), buffer.size(), sliceMs_);
        if (n > 0) {
            device_->queueReport(buffer.data(), n, monotonicNs());
        } else if (n < 0) {
            device_->queueError(EIO);
            handle_.reset();
            if (!sleepSlice())
                break;
        }
    }
    handle_.reset(); // closed only once no read is pending on it
}

// --------------------------------------------------------------------- device

TJvHidDevice::TJvHidDevice(TJvHidDeviceController *controller, IHidPlatform *platform, const HidInterfaceInfo &info,
                           TJvHidDataEvent handler, int sleepTime)
    : controller_(controller), platform_(platform), info_(info), handler_(std::move(handler)), sleepTime_(sleepTime)
{
    pnp_.DevicePath = info.path;
    pnp_.DeviceInstance = info.identity;
}

TJvHidDevice::~TJvHidDevice()
{
    stopThread();
    CloseHandles();
}

void TJvHidDevice::SetThreadSleepTime(int ms)
{
    if (ms >= 10 && ms <= 10000)
        sleepTime_ = ms;
}

bool TJvHidDevice::openCommandHandle()
{
    if (commandHandle_)
        return true;
    if (!canOpen())
        return false;
    QString error;
    std::unique_ptr<IHidHandle> handle = platform_->open(pnp_.DevicePath, &error);
    if (!handle) {
        readWriteAccess_ = false;
        openError_ = QStringLiteral("%1: %2").arg(pnp_.DevicePath, error);
        return false;
    }
    readWriteAccess_ = true;
    openError_.clear();
    if (numInputBuffers_ > 0)
        handle->setInputQueueLength(numInputBuffers_);
    commandHandle_ = std::move(handle);
    return true;
}

std::unique_ptr<IHidHandle> TJvHidDevice::openReadHandle()
{
    if (!canOpen())
        return nullptr;
    QString error;
    std::unique_ptr<IHidHandle> handle = platform_->open(pnp_.DevicePath, &error);
    if (!handle) {
        openError_ = QStringLiteral("%1: %2").arg(pnp_.DevicePath, error);
        return nullptr;
    }
    if (numReadBuffers_ > 0)
        handle->setInputQueueLength(numReadBuffers_);
    return handle;
}

void TJvHidDevice::CloseHandles()
{
    commandHandle_.reset(); // a send still queued keeps its own reference
    readHandle_.reset();
}

bool TJvHidDevice::SetInputBuffers(int n)
{
    if (n == numInputBuffers_)
        return true;
    if (!openCommandHandle())
        return false;
    const bool ok = commandHandle_->setInputQueueLength(n);
    numInputBuffers_ = commandHandle_->inputQueueLength();
    return ok;
}

bool TJvHidDevice::SetReadBuffers(int n)
{
    if (n == numReadBuffers_)
        return true;
    if (thread_) {
        // The running reader owns its handle; the length applies when it
        // next opens one.
        numReadBuffers_ = n;
        return true;
    }
    if (!readHandle_) {
        readHandle_ = openReadHandle();
        if (!readHandle_)
            return false;
    }
    const bool ok = readHandle_->setInputQueueLength(n);
    numReadBuffers_ = readHandle_->inputQueueLength();
    return ok;
}

bool TJvHidDevice::SendFeatureReport(const quint8 *buffer, int length)
{
    if (!buffer || length <= 0 || !openCommandHandle())
        return false;
    if (!writer_)
        writer_ = std::make_unique<FeatureWriter>();
    writer_->post(commandHandle_, QByteArray(reinterpret_cast<const char *>(buffer), length));
    return true;
}

void TJvHidDevice::startThread()
{
    if (thread_)
        return;
    // Opened here, not in the thread, so that no report sent after the claim
    // is missed.
    if (!readHandle_)
        readHandle_ = openReadHandle();
    thread_ = new TJvHidDeviceReadThread(this, platform_, std::move(readHandle_));
    thread_->start();
}

void TJvHidDevice::stopThread()
{
    if (!thread_)
        return;
    // The reader never waits for this thread, so this returns within one
    // wait slice.
    thread_->Stop();
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    std::lock_guard lock(queueMutex_);
    queue_.clear();
}

void TJvHidDevice::queueReport(const quint8 *bytes, int length, qint64 readAtNs)
{
    bool post = false;
    {
        std::lock_guard lock(queueMutex_);
        if (static_cast<int>(queue_.size()) >= queueCapacity_.load()) {
            dropped_.fetch_add(1);
            return;
        }
        queue_.push_back({QByteArray(reinterpret_cast<const char *>(bytes), length), readAtNs});
        if (!deliveryPosted_) {
            deliveryPosted_ = true;
            post = true;
        }
    }
    if (post)
        QMetaObject::invokeMethod(this, &TJvHidDevice::deliverNext, Qt::QueuedConnection);
}

void TJvHidDevice::queueError(quint32 code)
{
    QMetaObject::invokeMethod(
        this,
        [this, code] {
            if (!released_ && controller_->OnDeviceDataError)
                controller_->OnDeviceDataError(this, code);
        },
        Qt::QueuedConnection);
}

// One report per posted call.  While more wait, the next call is posted
// before the handler runs, so an event loop nested in the handler (a command
// exchange) goes on receiving reports, still one at a time and in order.
void TJvHidDevice::deliverNext()
{
    TQueuedReport report;
    bool more = false;
    {
        std::lock_guard lock(queueMutex_);
        if (queue_.empty()) {
            deliveryPosted_ = false;
            return;
        }
        report = std::move(queue_.front());
        queue_.pop_front();
        more = !queue_.empty();
        deliveryPosted_ = more;
    }
    if (more)
        QMetaObject::invokeMethod(this, &TJvHidDevice::deliverNext, Qt::QueuedConnection);
    if (released_ || !handler_ || report.bytes.isEmpty())
        return;
    const auto *bytes = reinterpret_cast<const quint8 *>(report.bytes.constData());
    handler_(this, TJvHidReport{bytes[0], bytes + 1, static_cast<quint16>(report.bytes.size() - 1), report.readAtNs});
}

// ----------------------------------------------------------------- controller

TJvHidDeviceController::TJvHidDeviceController(IHidPlatform *platform, QObject *parent)
    : QObject(parent), platform_(platform)
{
    connect(platform_, &IHidPlatform::devicesChanged, this, &TJvHidDeviceController::DeviceChange);
    // The first scan runs once the event loop does.
    QMetaObject::invokeMethod(this, &TJvHidDeviceController::DeviceChange, Qt::QueuedConnection);
}

TJvHidDeviceController::~TJvHidDeviceController()
{
    destroying_ = true;
    const QList<TJvHidDevice *> devices = devices_;
    devices_.clear();
    for (TJvHidDevice *dev : devices) {
        dev->released_ = true;
        delete dev;
    }
}

int TJvHidDeviceController::IndexOf(const TJvHidDevice *device) const
{
    for (int i = 0; i < devices_.size(); ++i)
        if (devices_[i] == device)
            return i;
    return -1;
}

void TJvHidDeviceController::SetDevThreadSleepTime(int ms)
{
    for (TJvHidDevice *dev : std::as_const(devices_))
        if (dev->sleepTime_ == devThreadSleepTime_)
            dev->SetThreadSleepTime(ms);
    devThreadSleepTime_ = ms;
}

int TJvHidDeviceController::EnumerateDevices()
{
    if (!OnEnumerate)
        return 0;
    int offered = 0;
    for (int i = 0; i < devices_.size(); ++i) {
        QPointer<TJvHidDevice> dev = devices_[i];
        if (!dev->pluggedIn_)
            continue;
        dev->beingEnumerated_ = true;
        auto lower = qScopeGuard([&] {
            if (dev)
                dev->beingEnumerated_ = false;
        });
        const bool goOn = OnEnumerate(dev, i);
        ++offered;
        lower.dismiss();
        if (dev) {
            dev->beingEnumerated_ = false;
            if (!dev->claimed_)
                dev->CloseHandles();
        }
        if (!goOn)
            break;
    }
    return offered;
}

TJvHidDevice *TJvHidDeviceController::ClaimDevice(int index)
{
    if (index < 0 || index >= devices_.size())
        return nullptr;
    TJvHidDevice *dev = devices_[index];
    if (dev->claimed_)
        return nullptr;
    dev->claimed_ = true;
    if (dev->handler_ && dev->pluggedIn_ && !dev->thread_ && dev->openCommandHandle() && dev->readWriteAccess_)
        dev->startThread();
    return dev;
}

void TJvHidDeviceController::ReleaseDevice(TJvHidDevice *device)
{
    const int index = IndexOf(device);
    if (!device || index < 0 || device->released_)
        return;
    device->stopThread();
    device->CloseHandles();
    device->released_ = true;
    if (device->pluggedIn_) {
        devices_[index] = new TJvHidDevice(this, platform_, device->info_, device->handler_, device->sleepTime_);
    } else {
        devices_.removeAt(index);
    }
    emit device->Gone();
    device->deleteLater(); // a handler of this very device may be running
}

void TJvHidDeviceController::DeviceChange()
{
    if (destroying_)
        return;
    if (refreshing_) {
        // Handlers run nested event loops; a change seen meanwhile gets a
        // refresh of its own once this one has finished.
        refreshAgain_ = true;
        return;
    }
    RefreshDeviceList();
}

void TJvHidDeviceController::RefreshDeviceList()
{
    refreshing_ = true;
    ++refreshCount_;
    const bool first = firstRefresh_;
    firstRefresh_ = false;
    auto done = qScopeGuard([this] {
        refreshing_ = false;
        if (refreshAgain_) {
            refreshAgain_ = false;
            QMetaObject::invokeMethod(this, &TJvHidDeviceController::DeviceChange, Qt::QueuedConnection);
        }
    });

    const QList<HidInterfaceInfo> present = platform_->enumerate();
    auto isPresent = [&present](const QString &identity) {
        for (const HidInterfaceInfo &info : present)
            if (info.identity == identity)
                return true;
        return false;
    };
    bool changed = false;

    // Removals, last to first.  A handler may release devices and so shorten
    // the list; each device is reported at most once per refresh.
    QSet<TJvHidDevice *> seen;
    for (int i = devices_.size() - 1; i >= 0; --i) {
        if (i >= devices_.size()) {
            i = devices_.size();
            continue;
        }
        TJvHidDevice *dev = devices_[i];
        if (seen.contains(dev))
            continue;
        seen.insert(dev);
        if (dev->pluggedIn_ && isPresent(dev->pnp_.DeviceInstance))
            continue;
        changed = true;
        QPointer<TJvHidDevice> guard(dev);
        dev->CloseHandles();
        const bool wasPlugged = dev->pluggedIn_;
        dev->pluggedIn_ = false;
        if (wasPlugged)
            emit dev->Gone();
        if (OnDeviceUnplug)
            OnDeviceUnplug(dev);
        if (OnRemoval && guard && !guard->released_)
            OnRemoval(dev);
        if (guard && !guard->released_ && !guard->claimed_) {
            devices_.removeAll(dev);
            dev->released_ = true;
            dev->stopThread();
            dev->deleteLater();
        }
    }

    // Duplicates are dropped; the rest arrive in the platform's order, each
    // announced right after its own append.
    for (const HidInterfaceInfo &info : present) {
        bool known = false;
        for (const TJvHidDevice *dev : std::as_const(devices_))
            if (dev->pluggedIn_ && dev->pnp_.DeviceInstance == info.identity) {
                known = true;
                break;
            }
        if (known)
            continue;
        auto *dev = new TJvHidDevice(this, platform_, info, OnDeviceData, devThreadSleepTime_);
        devices_.append(dev);
        changed = true;
        if (OnArrival)
            OnArrival(dev);
    }

    if ((changed || first) && OnDeviceChange)
        OnDeviceChange(this);
}

} // namespace zembrik
