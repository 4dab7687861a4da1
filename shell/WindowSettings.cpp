#include "shell/WindowSettings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace zembrik {

TWindowPlacement TWindowSettings::Placement() const
{
    TWindowPlacement p;
    p.Flags = int(window_.windowState());
    QRect frame = window_.frameGeometry();
    if (window_.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) {
        const QRect normal = window_.normalGeometry();
        const QRect geometry = window_.geometry();
        const QMargins margins(geometry.left() - frame.left(), geometry.top() - frame.top(),
                               frame.right() - geometry.right(), frame.bottom() - geometry.bottom());
        frame = normal.marginsAdded(margins);
    }
    p.Normal = frame;
    return p;
}

TScreenFacts TWindowSettings::ScreenFacts()
{
    TScreenFacts f;
    if (const QScreen *primary = QGuiApplication::primaryScreen()) {
        f.Desktop = primary->virtualGeometry().size();
        f.PixelsPerInch = qRound(primary->logicalDotsPerInch());
    }
    f.OnMonitor = [](const QPoint &p) { return QGuiApplication::screenAt(p) != nullptr; };
    return f;
}

TRestoredSettings TWindowSettings::Restore()
{
    const TRestoredSettings r = file_.RestoreSettings(Placement(), ScreenFacts());
    // Wayland lets no program place its windows: the position is skipped.
    if (r.Position && !QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        window_.move(*r.Position);
    return r;
}

void TWindowSettings::Save(int chartPage, const QStringList &customChart, int model)
{
    file_.SaveSettings(Placement(), ScreenFacts(), chartPage, customChart, model);
}

} // namespace zembrik
