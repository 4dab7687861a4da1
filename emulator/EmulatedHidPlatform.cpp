#include "emulator/EmulatedHidPlatform.h"

#include <QMetaObject>

#include <algorithm>
#include <cstring>

namespace zembrik {

namespace {
class EmulatedHandle;
}

struct EmulatedHidPlatform::Node {
    int id = 0;
    HidInterfaceInfo info;
    VirtualBox *box = nullptr;
    bool accessible = true;
    std::mutex mutex;
    bool gone = false;
    std::vector<EmulatedHandle *> handles;
};

namespace {

class EmulatedHandle final : public IHidHandle {
public:
    EmulatedHandle(std::shared_ptr<EmulatedHidPlatform::Node> node, int capacity)
        : node_(std::move(node)), capacity_(capacity)
    {
        std::lock_guard lock(node_->mutex);
        node_->handles.push_back(this);
    }
    ~EmulatedHandle() override
    {
        std::lock_guard lock(node_->mutex);
        auto &h = node_->handles;
        h.erase(std::remove(h.begin(), h.end(), this), h.end());
    }

    // Node mutex held by the caller.
    void deliver(const quint8 *data, std::size_t length)
    {
        {
            std::lock_guard lock(mutex_);
            if (static_cast<int>(queue_.size()) >= capacity_)
                return; // full: the new report is lost, as with hidraw
            queue_.emplace_back(data, data + length);
        }
        cv_.notify_one();
    }
    // Node mutex held by the caller (lock order: node, then handle).
    void wake()
    {
        {
            std::lock_guard lock(mutex_);
            gone_ = true;
        }
        cv_.notify_all();
    }

    int sendFeatureReport(const std::uint8_t *data, std::size_t length) override
    {
        {
            std::lock_guard lock(node_->mutex);
            if (node_->gone) {
                error_ = QStringLiteral("No such device");
                return -1;
            }
        }
        if (!node_->box)
            return static_cast<int>(length);
        return node_->box->receiveFeatureReport(data, length);
    }

    int readReport(std::uint8_t *buffer, std::size_t length, int timeoutMs) override
    {
        std::unique_lock lock(mutex_);
        const auto ready = [&] { return !queue_.empty() || gone_; };
        if (!cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready))
            return 0;
        if (queue_.empty()) {
            error_ = QStringLiteral("No such device");
            return -1;
        }
        std::vector<quint8> report = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        if (length < 1)
            return -1;
        buffer[0] = 0; // the box does not number its reports
        const std::size_t n = std::min(report.size(), length - 1);
        if (n > 0)
            std::memcpy(buffer + 1, report.data(), n);
        return static_cast<int>(n + 1);
    }

    bool setInputQueueLength(int reports) override
    {
        if (reports < 2 || reports > 512)
            return false;
        std::lock_guard lock(mutex_);
        capacity_ = reports;
        return true;
    }
    int inputQueueLength() const override
    {
        std::lock_guard lock(mutex_);
        return capacity_;
    }
    QString lastError() const override { return error_; }

private:
    std::shared_ptr<EmulatedHidPlatform::Node> node_;
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::vector<quint8>> queue_;
    int capacity_;
    bool gone_ = false;
    QString error_;
};

} // namespace

EmulatedHidPlatform::EmulatedHidPlatform(QObject *parent)
    : IHidPlatform(parent), self_(std::make_shared<EmulatedHidPlatform *>(this))
{
}

// Boxes may outlive the bus or die before it: their sinks hold the nodes
// weakly, and their unplug handlers hold the bus through a token.
EmulatedHidPlatform::~EmulatedHidPlatform() = default;

int EmulatedHidPlatform::add(std::shared_ptr<Node> node)
{
    {
        QMutexLocker lock(&mutex_);
        node->id = nextId_++;
        node->info.path = QStringLiteral("/dev/hidraw%1").arg(nextNode_++);
        node->info.identity = QStringLiteral("/sys/devices/emulated/usb1/1-%1/hid.%2").arg(node->id).arg(++generation_);
        nodes_.append(node);
    }
    announce();
    return node->id;
}

int EmulatedHidPlatform::plugBox(VirtualBox *box)
{
    auto node = std::make_shared<Node>();
    const BoxConfig c = box->config();
    node->info.vendorId = c.vendorId;
    node->info.productId = c.productId;
    node->info.versionNumber = c.versionNumber;
    node->info.manufacturer = c.manufacturer;
    node->info.product = c.product;
    node->info.inputReportLength = 65;
    node->box = box;
    std::weak_ptr<Node> weak = node;
    box->setSink([weak](const quint8 *data, std::size_t length) {
        if (auto n = weak.lock()) {
            std::lock_guard lock(n->mutex);
            if (n->gone)
                return;
            for (EmulatedHandle *h : n->handles)
                h->deliver(data, length);
        }
    });
    const int id = add(node);
    std::weak_ptr<EmulatedHidPlatform *> bus = self_;
    box->setUnplugHandler([bus, id] {
        if (auto b = bus.lock())
            (*b)->unplug(id);
    });
    return id;
}

int EmulatedHidPlatform::plugOther(quint16 vendorId, quint16 productId, const QString &product, bool accessible)
{
    auto node = std::make_shared<Node>();
    node->info.vendorId = vendorId;
    node->info.productId = productId;
    node->info.product = product;
    node->info.inputReportLength = 9;
    node->accessible = accessible;
    return add(node);
}

int EmulatedHidPlatform::plugInaccessibleBox(quint16 vendorId, quint16 productId)
{
    return plugOther(vendorId, productId, QStringLiteral("MIDI Zembrik"), false);
}

void EmulatedHidPlatform::unplug(int id)
{
    std::shared_ptr<Node> node;
    {
        QMutexLocker lock(&mutex_);
        for (int i = 0; i < nodes_.size(); ++i)
            if (nodes_[i]->id == id) {
                node = nodes_.takeAt(i);
                break;
            }
    }
    if (!node)
        return;
    {
        std::lock_guard lock(node->mutex);
        node->gone = true;
        for (EmulatedHandle *h : node->handles)
            h->wake();
    }
    announce();
}

HidInterfaceInfo EmulatedHidPlatform::info(int id) const
{
    QMutexLocker lock(&mutex_);
    for (const auto &node : nodes_)
        if (node->id == id)
            return node->info;
    return {};
}

void EmulatedHidPlatform::setWalkOrderReversed(bool reversed)
{
    QMutexLocker lock(&mutex_);
    reversed_ = reversed;
}

void EmulatedHidPlatform::announce()
{
    // Like a udev burst: several changes in a row give one notification.
    {
        QMutexLocker lock(&mutex_);
        if (announcePending_)
            return;
        announcePending_ = true;
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
            {
                QMutexLocker lock(&mutex_);
                announcePending_ = false;
            }
            emit devicesChanged();
        },
        Qt::QueuedConnection);
}

QList<HidInterfaceInfo> EmulatedHidPlatform::enumerate()
{
    ++enumerateCalls_;
    QMutexLocker lock(&mutex_);
    QList<HidInterfaceInfo> list;
    for (const auto &node : nodes_)
        list.append(node->info);
    if (reversed_)
        std::reverse(list.begin(), list.end());
    return list;
}

std::unique_ptr<IHidHandle> EmulatedHidPlatform::open(const QString &path, QString *error)
{
    ++openCalls_;
    std::shared_ptr<Node> node;
    {
        QMutexLocker lock(&mutex_);
        for (const auto &n : nodes_)
            if (n->info.path == path)
                node = n;
    }
    if (!node) {
        if (error)
            *error = QStringLiteral("No such file or directory");
        return nullptr;
    }
    if (!node->accessible) {
        if (error)
            *error = QStringLiteral("Permission denied");
        return nullptr;
    }
    return std::make_unique<EmulatedHandle>(node, defaultQueue_.load());
}

} // namespace zembrik
