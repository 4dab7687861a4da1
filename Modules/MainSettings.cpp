// The main window's side of the settings file: what the platform tells
// about the window's placement and the screens, and applying a restore.
// Reading and writing the file is TSettingsFile's.
#include "Modules/GuiLib.h"
#include "Modules/Main.h"
#include "charts/ChartWidgets.h"
#include "shell/Controls.h"
#include "shell/Prompter.h"
#include "shell/SettingsFile.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QTimer>

namespace zembrik {

// The desktop keeps no minimized or maximized positions: they are -1, and
// the flags hold the window state.
TWindowPlacement TformMain::Placement() const
{
    TWindowPlacement p;
    p.Flags = int(windowState());
    QRect frame = frameGeometry();
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) {
        const QRect normal = normalGeometry();
        const QMargins margins(geometry().left() - frame.left(), geometry().top() - frame.top(),
                               frame.right() - geometry().right(), frame.bottom() - geometry().bottom());
        frame = normal.marginsAdded(margins);
    }
    p.Normal = frame;
    return p;
}

TScreenFacts TformMain::ScreenFacts() const
{
    TScreenFacts f;
    if (const QScreen *primary = QGuiApplication::primaryScreen()) {
        f.Desktop = primary->virtualGeometry().size();
        f.PixelsPerInch = qRound(primary->logicalDotsPerInch());
    }
    f.OnMonitor = [](const QPoint &p) { return QGuiApplication::screenAt(p) != nullptr; };
    return f;
}

void TformMain::RestoreSettings()
{
    const TRestoredSettings r = apstoreMainXML_->RestoreSettings(Placement(), ScreenFacts());
    // Wayland lets no program place its windows: the position is skipped.
    if (r.Position && !QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        move(*r.Position);
    if (r.ChartPage)
        SetTag(pageNoteCharts, *r.ChartPage);
    if (r.CustomChart)
        SetChartItems(chartLists[6], *r.CustomChart);
    if (r.Model)
        SetTag(grpInfo, *r.Model);
    fstoreSettingsAfterRestorePlacement();
    if (const QString message = apstoreMainXML_->RecoveryMessage(); !message.isEmpty())
        QTimer::singleShot(0, this, [this, message] { prompter_.Information(message); });
}

void TformMain::fstoreSettingsAfterRestorePlacement()
{
    pageNoteCharts->SetActivePageIndex(Tag(pageNoteCharts));
    pageNoteChartsChange(Tag(pageNoteCharts));
}

void TformMain::SaveSettings()
{
    settingsSaved_ = true;
    apstoreMainXML_->SaveSettings(Placement(), ScreenFacts(), Tag(pageNoteCharts), ChartItems(chartLists[6]),
                                  Tag(grpInfo));
}

} // namespace zembrik
