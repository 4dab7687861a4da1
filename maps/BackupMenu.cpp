#include "maps/BackupMenu.h"

#include <QDesktopServices>
#include <QDir>
#include <QMenu>
#include <QUrl>

namespace zembrik {

TBackupMenu::TBackupMenu(QMenu *menu, QObject *parent) : QObject(parent)
{
    RecentMenu = menu->addMenu(QStringLiteral("Recent Backups"));
    RecentMenu->setObjectName(QStringLiteral("miRecentBackups"));
    OpenFolderAction = menu->addAction(QStringLiteral("Open Backups Folder"));
    OpenFolderAction->setObjectName(QStringLiteral("miOpenBackups"));
    connect(RecentMenu, &QMenu::aboutToShow, this, &TBackupMenu::fill);
    connect(OpenFolderAction, &QAction::triggered, this, [this] {
        QDir().mkpath(backups_.Folder());
        QDesktopServices::openUrl(QUrl::fromLocalFile(backups_.Folder()));
    });
    fill();
}

QString TBackupMenu::Keep(const TNoteMaps &maps, const TMapLayout &layout, TBackupDirection direction)
{
    const TMapFileResult r = backups_.Write(maps, layout, direction);
    return r.ok ? QString() : QStringLiteral("The backup of the maps could not be written: %1").arg(r.error);
}

void TBackupMenu::fill()
{
    RecentMenu->clear();
    const QList<TMapBackup> newest = backups_.Newest(kShown);
    for (const TMapBackup &b : newest) {
        QAction *a = RecentMenu->addAction(b.Caption());
        a->setData(b.path);
        connect(a, &QAction::triggered, this, [this, path = b.path] { emit RecallRequested(path); });
    }
    if (newest.isEmpty())
        RecentMenu->addAction(QStringLiteral("(none yet)"))->setEnabled(false);
}

} // namespace zembrik
