// Timing of the device link.  Machines here are shared and noisy, so these
// are figures to read, not pass/fail checks.
//
//   bench_link              in process, against the emulated bus
//   bench_link --umockdev   the real hidapi/libudev path (under umockdev-wrapper)
//
// 1. exchange: round trip of one command against an instant-reply box; all of
//    it is the program's (and, under umockdev, the kernel-less pty's) time.
// 2. wait CPU: CPU time of the UI thread during one unanswered 250 ms wait.
// 3. hand-over: reports per second from the box through the reader thread
//    to the handler on the UI thread.
#include "device/DeviceLink.h"
#include "device/HidrawPlatform.h"
#include "device/JvHid.h"
#include "emulator/EmulatedHidPlatform.h"
#include "emulator/UMockHidBus.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

using namespace zembrik;

namespace {
double cpuMs(int who)
{
    rusage u{};
    getrusage(who, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

bool spin(const std::function<bool()> &pred, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!pred() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return pred();
}
} // namespace

int main(int argc, char **argv)
{
    const bool umock = argc > 1 && QByteArray(argv[1]) == "--umockdev";
    std::unique_ptr<UMockHidBus> bus;
    if (umock) {
        if (!UMockHidBus::InMockEnvironment()) {
            std::fprintf(stderr, "run under umockdev-wrapper\n");
            return 2;
        }
        bus = std::make_unique<UMockHidBus>();
    }
    QCoreApplication app(argc, argv);
    VirtualBox box;
    std::unique_ptr<IHidPlatform> platform;
    if (umock) {
        platform = std::make_unique<HidrawPlatform>();
        bus->plugBox(&box);
    } else {
        auto emulated = std::make_unique<EmulatedHidPlatform>();
        emulated->plugBox(&box);
        platform = std::move(emulated);
    }
    TJvHidDeviceController controller(platform.get());
    TDeviceLink link(&controller);
    std::atomic<long> delivered{0};
    QObject::connect(&link, &TDeviceLink::ReportReceived, [&] { ++delivered; });
    if (!spin([&] { return controller.Count() == 1; }))
        return 1;
    controller.EnumerateDevices();
    if (!link.CurrentDevice)
        return 1;
    std::printf("transport: %s\n", umock ? "hidapi/hidraw under umockdev" : "in-process emulated bus");

    // 1. exchange round trip
    TCommandReply r;
    for (int i = 0; i < 200; ++i)
        link.SendCommand(cmd::GetVersion(), r);
    const int n = 3000;
    std::vector<double> us;
    us.reserve(n);
    int failures = 0;
    for (int i = 0; i < n; ++i) {
        QElapsedTimer t;
        t.start();
        failures += !link.SendCommand(cmd::GetVersion(), r);
        us.push_back(t.nsecsElapsed() / 1e3);
    }
    std::sort(us.begin(), us.end());
    std::printf("exchange: median %.1f us, p90 %.1f us, p99 %.1f us, failures %d of %d\n", us[n / 2], us[n * 9 / 10],
                us[n * 99 / 100], failures, n);

    // 2. CPU of one unanswered wait
    box.dropNextReplies(1 << 20);
    double worstThread = 0, worstProcess = 0;
    for (int i = 0; i < 4; ++i) {
        const double t0 = cpuMs(RUSAGE_THREAD), p0 = cpuMs(RUSAGE_SELF);
        QElapsedTimer wall;
        wall.start();
        link.SendCommand(cmd::GetVersion(), r);
        const double dt = cpuMs(RUSAGE_THREAD) - t0, dp = cpuMs(RUSAGE_SELF) - p0;
        worstThread = std::max(worstThread, dt);
        worstProcess = std::max(worstProcess, dp);
        if (i == 0)
            std::printf("wait: %lld ms wall\n", static_cast<long long>(wall.elapsed()));
    }
    std::printf("wait CPU (worst of 4): UI thread %.2f ms, whole process %.2f ms\n", worstThread, worstProcess);
    box.dropNextReplies(0);

    // 3. hand-over throughput
    const long reports = umock ? 20000 : 200000;
    delivered = 0;
    std::atomic<bool> go{false};
    std::thread producer([&] {
        while (!go)
            std::this_thread::yield();
        std::vector<quint8> report(64, 0);
        for (long i = 0; i < reports; ++i) {
            box.sendRawReport(report);
            // Bursts that fit the driver's queue (the pty holds ~4 KiB).
            if (i % 32 == 31)
                std::this_thread::sleep_for(std::chrono::microseconds(umock ? 6000 : 50));
        }
    });
    QElapsedTimer t;
    t.start();
    qint64 lastNs = 0;
    long lastCount = 0;
    go = true;
    // Until nothing has arrived for 300 ms.
    while (t.nsecsElapsed() - lastNs < 300'000'000LL && t.elapsed() < 60000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (delivered != lastCount) {
            lastCount = delivered;
            lastNs = t.nsecsElapsed();
        }
    }
    producer.join();
    const double s = lastNs / 1e9;
    std::printf("hand-over: %ld of %ld reports in %.3f s = %.0f reports/s; lost in the driver queue %ld, "
                "in ours %llu\n",
                lastCount, reports, s, lastCount / s,
                reports - lastCount - static_cast<long>(link.CurrentDevice->DroppedReports()),
                static_cast<unsigned long long>(link.CurrentDevice->DroppedReports()));
    return 0;
}
