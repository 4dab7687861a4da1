// Automatic backups of the note maps: every map that comes from or goes to
// the box is kept as a map file of the program's own format in a backups
// folder (by default "backups" in the program's data folder).  The name
// tells date, time and direction ("2026-12-11_140312-from-box.map"); the
// newest files are kept, older ones removed.  QtCore only; the window owns
// one.
#pragma once

#include "maps/MapFile.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace zembrik {

enum class TBackupDirection { FromBox, ToBox };

struct TMapBackup {
    QString path;
    QDateTime when;
    TBackupDirection direction = TBackupDirection::FromBox;
    // As the menu shows it: "2026-12-11 14:03 from box".
    QString Caption() const;
};

class TMapBackups {
public:
    static constexpr int kKeep = 50;

    explicit TMapBackups(QString folder = DefaultFolder()) : folder_(std::move(folder)) {}
    static QString DefaultFolder();
    QString Folder() const { return folder_; }

    // Writes the maps within the layout as a new backup, written whole or
    // not at all, then removes all but the newest kKeep.  On failure the
    // result names the file and the cause.
    TMapFileResult Write(const TNoteMaps &maps, const TMapLayout &layout, TBackupDirection direction,
                         const QDateTime &when = QDateTime::currentDateTime(), QString *path = nullptr);
    // The backups in the folder, newest first; at most count of them.
    QList<TMapBackup> Newest(int count = kKeep) const;
    void Prune(int keep = kKeep);

private:
    QString folder_;
};

} // namespace zembrik
