#include "emulator/VirtualBox.h"

#include <algorithm>

#include <sys/prctl.h>

namespace zembrik {

VirtualBox::VirtualBox(const BoxConfig &config) : firmware_(config)
{
    scheduler_ = std::thread([this] {
        // A reply is due at its latency, not up to 50 us later: the kernel's
        // default timer slack would add that to every timed reply.
        prctl(PR_SET_TIMERSLACK, 1UL);
        schedulerLoop();
    });
}

VirtualBox::~VirtualBox()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    scheduleCv_.notify_all();
    scheduler_.join();
}

void VirtualBox::setSink(Sink sink)
{
    std::lock_guard sinkLock(sinkMutex_);
    std::lock_guard lock(mutex_);
    sink_ = std::move(sink);
}

void VirtualBox::setUnplugHandler(std::function<void()> handler)
{
    std::lock_guard lock(mutex_);
    unplug_ = std::move(handler);
}

BoxConfig VirtualBox::config() const
{
    std::lock_guard lock(mutex_);
    return firmware_.config();
}

std::vector<ReceivedCommand> VirtualBox::commands() const
{
    std::lock_guard lock(mutex_);
    return firmware_.commands();
}

void VirtualBox::clearCommands()
{
    std::lock_guard lock(mutex_);
    firmware_.clearCommands();
}

void VirtualBox::setReplyLatencyMs(int ms)
{
    std::lock_guard l(mutex_);
    latencyMs_ = ms;
}
void VirtualBox::dropNextReplies(int count)
{
    std::lock_guard l(mutex_);
    dropReplies_ = count;
}
void VirtualBox::dropRepliesTo(quint8 code)
{
    std::lock_guard l(mutex_);
    droppedCodes_.push_back(code);
}
void VirtualBox::delayNextReply(int ms)
{
    std::lock_guard l(mutex_);
    extraDelayMs_ = ms;
}
void VirtualBox::corruptNextSequence()
{
    std::lock_guard l(mutex_);
    corruptSequence_ = true;
}
void VirtualBox::stallNextSend(int ms)
{
    std::lock_guard l(mutex_);
    stallMs_ = ms;
}
void VirtualBox::unplugOnNextCommand()
{
    std::lock_guard l(mutex_);
    unplugNext_ = true;
}

int VirtualBox::receiveFeatureReport(const quint8 *data, std::size_t length)
{
    std::unique_lock lock(mutex_);
    if (stallMs_ > 0) {
        const int stall = std::exchange(stallMs_, 0);
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(stall));
        lock.lock();
    }
    if (unplugNext_) {
        unplugNext_ = false;
        firmware_.handleCommand(data, length); // it is seen, never answered
        auto unplug = unplug_;
        lock.unlock();
        if (unplug)
            unplug();
        return static_cast<int>(length);
    }
    std::vector<InputReport> replies = firmware_.handleCommand(data, length);
    if (length > 2 && std::find(droppedCodes_.begin(), droppedCodes_.end(), data[2]) != droppedCodes_.end())
        replies.clear();
    int delay = latencyMs_;
    for (InputReport &r : replies) {
        if (dropReplies_ > 0) {
            --dropReplies_;
            continue;
        }
        if (corruptSequence_) {
            corruptSequence_ = false;
            r[5] = static_cast<quint8>(r[5] + 1);
        }
        delay += std::exchange(extraDelayMs_, 0);
        lock.unlock();
        transmit(r.data(), r.size(), delay);
        lock.lock();
    }
    return static_cast<int>(length);
}

void VirtualBox::sendControllerReport()
{
    const InputReport r = withFirmware([](ZembrikFirmware &f) { return f.controllerReport(); });
    transmit(r.data(), r.size(), 0);
}

void VirtualBox::sendRawReport(const std::vector<quint8> &bytes)
{
    transmit(bytes.data(), bytes.size(), 0);
}

void VirtualBox::feedMidi(const std::vector<std::pair<quint8, quint8>> &pairs)
{
    const auto reports = withFirmware([&](ZembrikFirmware &f) { return f.feedMidi(pairs); });
    for (const InputReport &r : reports)
        transmit(r.data(), r.size(), 0);
}

void VirtualBox::transmit(const quint8 *data, std::size_t length, int delayMs)
{
    std::unique_lock lock(mutex_);
    if (delayMs <= 0 && scheduled_.empty() && !sending_) {
        // Straight through on the caller's thread: the instant-reply box.
        lock.unlock();
        std::lock_guard sinkLock(sinkMutex_);
        if (sink_)
            sink_(data, length);
        return;
    }
    // Reports keep their order: nothing overtakes one already scheduled.
    Clock::time_point due = Clock::now() + std::chrono::milliseconds(std::max(delayMs, 0));
    if (!scheduled_.empty() && due < std::prev(scheduled_.end())->first)
        due = std::prev(scheduled_.end())->first;
    scheduled_.emplace(due, std::vector<quint8>(data, data + length));
    lock.unlock();
    scheduleCv_.notify_all();
}

void VirtualBox::flush()
{
    std::unique_lock lock(mutex_);
    idleCv_.wait(lock, [this] { return scheduled_.empty() && !sending_; });
}

void VirtualBox::schedulerLoop()
{
    std::unique_lock lock(mutex_);
    while (!stop_) {
        if (scheduled_.empty()) {
            idleCv_.notify_all();
            scheduleCv_.wait(lock);
            continue;
        }
        const auto due = scheduled_.begin()->first;
        // Sleep until shortly before the reply is due, then spin the rest:
        // a timed wake-up alone comes tens of microseconds late.
        constexpr auto kSpin = std::chrono::microseconds(80);
        if (Clock::now() < due - kSpin) {
            scheduleCv_.wait_until(lock, due - kSpin);
            continue;
        }
        if (Clock::now() < due) {
            lock.unlock();
            while (Clock::now() < due)
                std::this_thread::yield();
            lock.lock();
            continue;
        }
        std::vector<quint8> bytes = std::move(scheduled_.begin()->second);
        scheduled_.erase(scheduled_.begin());
        sending_ = true;
        lock.unlock();
        {
            std::lock_guard sinkLock(sinkMutex_);
            if (sink_)
                sink_(bytes.data(), bytes.size());
        }
        lock.lock();
        sending_ = false;
    }
}

} // namespace zembrik
