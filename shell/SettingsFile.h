// The program's own settings file, "MidiZembrik.xml" in the user's
// configuration folder: the main window's position, the chart page shown,
// the custom chart and the model of the last box seen.  It is written with
// the XML store (root "Configuration", auto-flush, one flush per save) and
// kept for the window's lifetime by the window, which restores from it
// once, when it is first shown, and saves to it when it closes or goes
// away.
//
// QtCore only: the window hands in what the platform tells about the
// screens and its placement, and applies what Restore gives back.  An
// unreadable file is set aside (the trash) and the program starts on
// defaults; a read-only file is read and never written.
#pragma once

#include "Modules/DataStore.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>

#include <functional>
#include <optional>

namespace zembrik {

// A top-level window's placement as the settings file keeps it.  The
// desktop has no minimized or maximized positions and no placement flags
// of its own: Flags holds the window state (Qt::WindowStates bits:
// 1 minimized, 2 maximized, 4 full screen), and the two positions are -1
// when the platform has none.
struct TWindowPlacement {
    int Flags = 0;
    QPoint MinPosition{-1, -1};
    QPoint MaxPosition{-1, -1};
    // The normal (not minimized, not maximized) frame rectangle; right and
    // bottom are left + width and top + height.
    QRect Normal;
};

// What the window tells about the screens.
struct TScreenFacts {
    QSize Desktop;          // all monitors together
    int PixelsPerInch = 96; // the logical resolution
    std::function<bool(const QPoint &)> OnMonitor;
};

// What a restore found; each field is set only when the file held a usable
// value.
struct TRestoredSettings {
    std::optional<QPoint> Position; // the window's new top-left corner
    std::optional<int> ChartPage;   // 0 ... 6
    std::optional<QStringList> CustomChart;
    std::optional<int> Model; // 0 or 1
};

class TSettingsFile {
public:
    static QString FileName(); // in the user's configuration folder
    explicit TSettingsFile(const QString &fileName = FileName());

    TRestoredSettings RestoreSettings(const TWindowPlacement &current, const TScreenFacts &screen);
    // Before the first restore only the form version is written.
    void SaveSettings(const TWindowPlacement &placement, const TScreenFacts &screen, int chartPage,
                      const QStringList &customChart, int model);

    // Empty unless the file could not be read; then it says where it went.
    QString RecoveryMessage() const { return recovery_; }
    TDataStore &Store() { return store_; }

private:
    TDataStore store_;
    QString recovery_;
    bool restored_ = false;
};

} // namespace zembrik
