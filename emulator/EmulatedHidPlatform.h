// An in-process HID bus for unit tests: virtual boxes and inert devices
// (mice, keyboards) are plugged and unplugged by the test, and the transport
// sees them through the same IHidPlatform seam as real hidraw nodes.  Handles
// behave like hidraw's: every open handle gets its own copy of each input
// report, with a bounded queue that drops new reports when full; reads and
// sends fail once the device has gone.
#pragma once

#include "device/HidPlatform.h"
#include "emulator/VirtualBox.h"

#include <QMutex>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

namespace zembrik {

class EmulatedHidPlatform : public IHidPlatform {
    Q_OBJECT
public:
    explicit EmulatedHidPlatform(QObject *parent = nullptr);
    ~EmulatedHidPlatform() override;

    // Plugs a box (not owned; it must outlive its plug).  Returns a plug id.
    int plugBox(VirtualBox *box);
    // Plugs a device that is no box; accessible = false mimics a root-only
    // node.
    int plugOther(quint16 vendorId, quint16 productId, const QString &product, bool accessible = false);
    // Plugs a box-like device that cannot be opened.
    int plugInaccessibleBox(quint16 vendorId, quint16 productId);
    void unplug(int id); // thread-safe
    HidInterfaceInfo info(int id) const;
    // Devices are listed in this order (a fresh list per refresh).
    void setWalkOrderReversed(bool reversed);
    // Queue length of newly opened handles (the driver default).
    void setDefaultQueueLength(int reports) { defaultQueue_ = reports; }
    int enumerateCalls() const { return enumerateCalls_; }
    int openCalls() const { return openCalls_; }

    QList<HidInterfaceInfo> enumerate() override;
    std::unique_ptr<IHidHandle> open(const QString &path, QString *error) override;

    struct Node; // shared with the handles

private:
    int add(std::shared_ptr<Node> node);
    void announce();

    std::shared_ptr<EmulatedHidPlatform *> self_;
    mutable QMutex mutex_;
    QList<std::shared_ptr<Node>> nodes_;
    int nextId_ = 1;
    int nextNode_ = 0;
    int generation_ = 0;
    bool reversed_ = false;
    bool announcePending_ = false;
    std::atomic<int> defaultQueue_{32};
    std::atomic<int> enumerateCalls_{0};
    std::atomic<int> openCalls_{0};
};

} // namespace zembrik
