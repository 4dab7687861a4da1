// The monitoring pages under load, in the real window against the emulated
// box, with CPU time of the whole process (window, transport threads and the
// box's feeder):
//  - log: 1,000 log reports/s of two pairs each while the UI thread is
//    blocked for 200 ms every second; every event must appear, in order;
//  - drum test: 1,000 controller reports/s for 10 s with the waterfall on;
//    no report may be lost, and the waterfall is repainted at the display's
//    rate, not per report.
// Runs on the offscreen platform unless a display is set.
#include "Modules/Main.h"
#include "emulator/EmulatedHidPlatform.h"
#include "emulator/VirtualBox.h"
#include "maps/MapPage.h"
#include "monitor/DrumTestPage.h"
#include "monitor/MidiLog.h"
#include "monitor/MidiLogPage.h"
#include "shell/Prompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTabWidget>
#include <QThread>
#include <QTimer>

#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

using namespace zembrik;

namespace {

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

class SilentPrompter : public IPrompter {
public:
    bool Confirm(const QString &, Buttons) override { return true; }
    void Information(const QString &t) override { infos << t; }
    void Error(const QString &t) override { infos << t; }
    QString OpenFileName(const QString &, const QString &) override { return {}; }
    QString SaveFileName(const QString &, const QString &) override { return {}; }
    QStringList infos;
};

// Runs the event loop (without spinning) until pred holds.
template <typename Pred> bool waitFor(Pred pred, int timeoutMs)
{
    QEventLoop loop;
    QElapsedTimer t;
    t.start();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (pred() || t.elapsed() > timeoutMs)
            loop.quit();
    });
    poll.start(20);
    if (!pred())
        loop.exec();
    return pred();
}

// Calls send() at the given rate from its own thread for the given time.
class Feeder {
public:
    template <typename F> Feeder(int perSecond, int seconds, F send)
    {
        thread_ = std::thread([=, this] {
            const auto step = std::chrono::microseconds(1000000 / perSecond);
            auto next = std::chrono::steady_clock::now();
            for (int i = 0; i < perSecond * seconds; ++i) {
                send(i);
                sent_ = i + 1;
                next += step;
                std::this_thread::sleep_until(next);
            }
            done_ = true;
        });
    }
    ~Feeder() { thread_.join(); }
    bool Done() const { return done_; }
    int Sent() const { return sent_; }

private:
    std::atomic<bool> done_{false};
    std::atomic<int> sent_{0};
    std::thread thread_;
};

// Blocks the UI thread for 200 ms once a second, as a slow handler would.
void blockEverySecond(QObject *context)
{
    auto *t = new QTimer(context);
    QObject::connect(t, &QTimer::timeout, [] { QThread::msleep(200); });
    t->start(1000);
}

struct Bench {
    EmulatedHidPlatform bus;
    VirtualBox box;
    SilentPrompter prompter;
    TformMain form{&bus, prompter};
    Bench()
    {
        bus.plugBox(&box);
        form.show();
        if (!waitFor([&] { return form.Connected() && form.mapPage->btnUpload->isEnabled(); }, 5000))
            std::fprintf(stderr, "the box did not connect\n");
    }
};

int benchLog(int seconds)
{
    Bench b;
    const int reports = 1000 * seconds;
    const int events = 2 * reports;
    // A grid with room for every event: capacity follows the grid's rows.
    b.form.pgMain->setCurrentWidget(b.form.tabLog);
    TMidiLog &log = *b.form.logPage->Log();
    log.LoadCsv(QByteArray(",,,\r\n").repeated(events + 2));
    b.form.logPage->chkEnableLog->setChecked(true);
    waitFor([&] { return b.box.withFirmware([](ZembrikFirmware &f) { return f.logging(); }); }, 2000);
    blockEverySecond(&b.form);

    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    {
        // Event i: code 9 (CC) or 10 (Pedal Pos) with i in two 7-bit halves.
        Feeder feed(1000, seconds, [&](int i) {
            const int e = 2 * i;
            b.box.feedMidi(
                {{quint8(9 + (e & 1)), quint8(e % 128)}, {quint8(9 + ((e + 1) & 1)), quint8((e + 1) % 128)}});
        });
        waitFor([&] { return feed.Done() && log.CurrentRow() >= events; }, seconds * 1000 + 10000);
    }
    const double elapsed = wall.nsecsElapsed() / 1e9;
    const double cpu = cpuSeconds() - cpu0;
    int inOrder = 0;
    for (int r = 1; r <= log.CurrentRow(); ++r) {
        const int e = r - 1;
        if (log.Cell(r, lcEvent) == TMidiLog::EventText(quint8(9 + (e & 1))) &&
            log.Cell(r, lcNote) == QString::number(e % 128))
            ++inOrder;
        else
            break;
    }
    std::printf("log: %d reports (%d events) in %.2f s with the UI blocked 200 ms/s: %d rows, %d in order, "
                "dropped by the transport %llu; CPU %.2f s = %.1f %% of one core\n",
                reports, events, elapsed, log.CurrentRow(), inOrder,
                static_cast<unsigned long long>(b.form.Link().CurrentDevice->DroppedReports()), cpu,
                100 * cpu / elapsed);
    return inOrder == events ? 0 : 1;
}

int benchDrums(int seconds)
{
    Bench b;
    b.form.pgMain->setCurrentWidget(b.form.tabTest);
    b.form.chkEnableWaterfall->setChecked(true);
    TDrumTestPage &page = *b.form.testPage;
    const int reports = 1000 * seconds;
    const int repaints0 = page.imgWaterfall->Repaints();
    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    {
        Feeder feed(1000, seconds, [&](int i) {
            // A roll across the pads: each pad pressed for 20 reports.
            static const quint8 bits[] = {0x04, 0x08, 0x01, 0x02, 0x10};
            b.box.withFirmware([&](ZembrikFirmware &f) { f.setPadBits(bits[(i / 20) % 5], 0x04); });
            b.box.sendControllerReport();
        });
        waitFor([&] { return feed.Done() && page.Waterfall().Lines() >= quint64(reports); }, seconds * 1000 + 10000);
    }
    const double elapsed = wall.nsecsElapsed() / 1e9;
    const double cpu = cpuSeconds() - cpu0;
    const quint64 handled = page.Waterfall().Lines();
    std::printf("drum test: %d controller reports in %.2f s with the waterfall on: %llu handled, %llu lost, "
                "dropped by the transport %llu, %d waterfall repaints; CPU %.2f s = %.1f %% of one core\n",
                reports, elapsed, static_cast<unsigned long long>(handled),
                static_cast<unsigned long long>(reports - std::min<quint64>(handled, reports)),
                static_cast<unsigned long long>(b.form.Link().CurrentDevice->DroppedReports()),
                page.imgWaterfall->Repaints() - repaints0, cpu, 100 * cpu / elapsed);
    return handled == quint64(reports) ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    int failed = benchLog(seconds);
    failed |= benchDrums(seconds);
    return failed;
}
