#include "monitor/FrameRate.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace zembrik {

int FrameIntervalMs()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const qreal hz = screen && screen->refreshRate() >= 1 ? screen->refreshRate() : 60.0;
    return std::max(1, static_cast<int>(std::lround(1000.0 / hz)));
}

} // namespace zembrik
