// One emulated box on a wire: the firmware model plus what a cable and a
// real box add — reply latency, stalls and unplugging — and a set of faults
// to inject.  Thread-safe: a transport calls receiveFeatureReport from its
// writer thread while a test or the demo changes state from another.
//
// The same VirtualBox plugs into the in-process EmulatedHidPlatform (unit
// tests) and into a umockdev hidraw node (end-to-end tests, the demo).  Input
// reports leave through the sink the transport installs.
#pragma once

#include "emulator/ZembrikFirmware.h"

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace zembrik {

class VirtualBox {
public:
    explicit VirtualBox(const BoxConfig &config = {});
    ~VirtualBox();
    VirtualBox(const VirtualBox &) = delete;
    VirtualBox &operator=(const VirtualBox &) = delete;

    // --- transport side
    using Sink = std::function<void(const quint8 *data, std::size_t length)>;
    void setSink(Sink sink);
    // Called when the box asks to be unplugged (an injected fault).
    void setUnplugHandler(std::function<void()> handler);
    // A command report from the host.  May block (stall).  Returns length.
    int receiveFeatureReport(const quint8 *data, std::size_t length);

    // --- test and demo side
    // Runs f on the firmware under the box's lock.
    template <typename F> auto withFirmware(F &&f)
    {
        std::lock_guard lock(mutex_);
        return f(firmware_);
    }
    BoxConfig config() const;
    std::vector<ReceivedCommand> commands() const;
    void clearCommands();

    void setReplyLatencyMs(int ms);
    void dropNextReplies(int count);
    // Every reply to this command code is dropped from now on.
    void dropRepliesTo(quint8 code);
    void delayNextReply(int ms);
    void corruptNextSequence();
    void stallNextSend(int ms);
    void unplugOnNextCommand();

    void sendControllerReport();
    // A report of any length, e.g. 0, 6 or 70 data bytes.
    void sendRawReport(const std::vector<quint8> &bytes);
    // While logging is on, the events go out as log reports.
    void feedMidi(const std::vector<std::pair<quint8, quint8>> &pairs);
    // Blocks until every scheduled report has gone out.
    void flush();

private:
    using Clock = std::chrono::steady_clock;
    void transmit(const quint8 *data, std::size_t length, int delayMs);
    void schedulerLoop();

    mutable std::mutex mutex_;
    ZembrikFirmware firmware_;
    Sink sink_;
    std::function<void()> unplug_;
    int latencyMs_ = 0;
    int dropReplies_ = 0;
    std::vector<quint8> droppedCodes_;
    int extraDelayMs_ = 0;
    bool corruptSequence_ = false;
    int stallMs_ = 0;
    bool unplugNext_ = false;

    std::mutex sinkMutex_; // keeps reports in order towards the sink
    std::condition_variable scheduleCv_;
    std::condition_variable idleCv_;
    std::multimap<Clock::time_point, std::vector<quint8>> scheduled_;
    bool sending_ = false;
    bool stop_ = false;
    std::thread scheduler_;
};

} // namespace zembrik
