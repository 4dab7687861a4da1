// The main window's side of the settings file: what the platform tells
// about the window's placement and the screens, and moving the window to a
// restored position.  Reading and writing the file is TSettingsFile's; the
// window says when (a restore before it is first shown, a save when it
// closes or goes away) and hands in and applies its own values.  UI thread
// only.
#pragma once

#include "shell/SettingsFile.h"

class QWidget;

namespace zembrik {

class TWindowSettings {
public:
    explicit TWindowSettings(QWidget &window) : window_(window) {}

    // Reads the file and moves the window to the restored position; the
    // rest is the caller's to apply.
    TRestoredSettings Restore();
    void Save(int chartPage, const QStringList &customChart, int model);
    // Empty unless the file could not be read.
    QString RecoveryMessage() const { return file_.RecoveryMessage(); }
    TSettingsFile &File() { return file_; }

    // The desktop keeps no minimized or maximized positions: they are -1,
    // and the flags hold the window state.
    TWindowPlacement Placement() const;
    static TScreenFacts ScreenFacts();

private:
    QWidget &window_;
    TSettingsFile file_;
};

} // namespace zembrik
