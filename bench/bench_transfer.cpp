// Full store and full read of two 8 x 10 maps against the emulated box with a
// set reply latency, as a ratio to the lower bound: 160 x (latency + 10 ms)
// for a store, 160 x latency for a read.
#include "device/JvHid.h"
#include "device/NullConnectionView.h"
#include "emulator/EmulatedHidPlatform.h"
#include "maps/MapTransfer.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>
#include <vector>

using namespace zembrik;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    for (int latency : {1, 8}) {
        EmulatedHidPlatform bus;
        VirtualBox box;
        bus.plugBox(&box);
        TJvHidDeviceController controller(&bus);
        TDeviceLink link(&controller);
        TNullConnectionView view(link);
        TConnection connection(link, view);
        while (!connection.Connected())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        box.setReplyLatencyMs(latency);
        TMapTransfer transfer(link, connection);
        TNoteMaps maps;
        for (int o = 0; o < 8; ++o)
            maps.Set(0, o, 0, 36 + o);
        // Per-exchange times, to tell a steady overhead from a few stalls.
        std::vector<double> steps;
        QElapsedTimer step;
        QObject::connect(&transfer, &TMapTransfer::Progress, [&](int, int) {
            steps.push_back(step.nsecsElapsed() / 1e3);
            step.restart();
        });
        QElapsedTimer t;
        t.start();
        step.start();
        transfer.WriteMaps(maps, 2, 8, 10);
        const double store = t.nsecsElapsed() / 1e6;
        const std::vector<double> storeSteps = std::exchange(steps, {});
        t.restart();
        step.restart();
        transfer.ReadMaps(maps, 2, 8, 10);
        const double read = t.nsecsElapsed() / 1e6;
        auto spread = [](std::vector<double> v) {
            std::sort(v.begin(), v.end());
            return std::array<double, 3>{v[v.size() / 2], v[v.size() * 9 / 10], v.back()};
        };
        const auto ss = spread(storeSteps), rs = spread(steps);
        std::printf("latency %d ms: store %.0f ms (ratio %.3f), read %.0f ms (ratio %.3f)\n", latency, store,
                    store / (160.0 * (latency + 10)), read, read / (160.0 * latency));
        std::printf("  per entry (us): store median %.0f p90 %.0f max %.0f; read median %.0f p90 %.0f max %.0f\n",
                    ss[0], ss[1], ss[2], rs[0], rs[1], rs[2]);
    }
    return 0;
}
