// The backups of the maps as the window offers them: each successful get
// from and store on the box is kept (see TMapBackups), and the File menu's
// "Recent Backups" lists the newest ten and "Open Backups Folder" opens the
// folder in the desktop's file manager.  Choosing a backup asks the window
// to recall it.  Owned by the main window; UI thread only.
#pragma once

#include "maps/MapBackups.h"

#include <QObject>

class QAction;
class QMenu;

namespace zembrik {

class TBackupMenu : public QObject {
    Q_OBJECT
public:
    static constexpr int kShown = 10;

    // Adds the submenu and the folder action to menu.
    TBackupMenu(QMenu *menu, QObject *parent = nullptr);
    TMapBackups &Backups() { return backups_; }
    // Keeps the maps; an empty text, or what went wrong for the status bar.
    QString Keep(const TNoteMaps &maps, const TMapLayout &layout, TBackupDirection direction);

    QMenu *RecentMenu = nullptr;
    QAction *OpenFolderAction = nullptr;

signals:
    void RecallRequested(const QString &path);

private:
    void fill();

    TMapBackups backups_;
};

} // namespace zembrik
