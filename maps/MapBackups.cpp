#include "maps/MapBackups.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <climits>

namespace zembrik {

namespace {
// date_time[-n]-from-box.map; n tells apart backups of the same second.
const QRegularExpression kName(QStringLiteral("^(\\d{4}-\\d{2}-\\d{2}_\\d{6})(?:-(\\d+))?-(from|to)-box\\.map$"));
const QString kStamp = QStringLiteral("yyyy-MM-dd_HHmmss");

QString directionWord(TBackupDirection d)
{
    return d == TBackupDirection::FromBox ? QStringLiteral("from") : QStringLiteral("to");
}
} // namespace

QString TMapBackup::Caption() const
{
    return QStringLiteral("%1 %2 box").arg(when.toString(QStringLiteral("yyyy-MM-dd HH:mm")), directionWord(direction));
}

QString TMapBackups::DefaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/backups");
}

TMapFileResult TMapBackups::Write(const TNoteMaps &maps, const TMapLayout &layout, TBackupDirection direction,
                                  const QDateTime &when, QString *path)
{
    const QDir dir(folder_);
    const QString stamp = when.toString(kStamp);
    QString name;
    for (int n = 1;; ++n) {
        name =
            dir.filePath(QStringLiteral("%1%2-%3-box.map")
                             .arg(stamp, n == 1 ? QString() : QStringLiteral("-%1").arg(n), directionWord(direction)));
        if (!QFileInfo::exists(name))
            break;
    }
    const TMapFileResult result = SaveMapFile(name, maps, layout);
    if (result.ok) {
        if (path)
            *path = name;
        Prune();
    }
    return result;
}

QList<TMapBackup> TMapBackups::Newest(int count) const
{
    struct Found {
        TMapBackup backup;
        QString stamp;
        int n;
    };
    QList<Found> found;
    const QDir dir(folder_);
    for (const QString &file : dir.entryList({QStringLiteral("*.map")}, QDir::Files)) {
        const QRegularExpressionMatch m = kName.match(file);
        if (!m.hasMatch())
            continue; // the user's own files are left alone
        const QDateTime when = QDateTime::fromString(m.captured(1), kStamp);
        if (!when.isValid())
            continue;
        found.append({{dir.filePath(file), when,
                       m.captured(3) == QLatin1String("from") ? TBackupDirection::FromBox : TBackupDirection::ToBox},
                      m.captured(1),
                      m.captured(2).isEmpty() ? 1 : m.captured(2).toInt()});
    }
    std::sort(found.begin(), found.end(),
              [](const Found &a, const Found &b) { return a.stamp != b.stamp ? a.stamp > b.stamp : a.n > b.n; });
    QList<TMapBackup> newest;
    for (const Found &f : found) {
        if (newest.size() >= count)
            break;
        newest.append(f.backup);
    }
    return newest;
}

void TMapBackups::Prune(int keep)
{
    const QList<TMapBackup> all = Newest(INT_MAX);
    for (qsizetype i = keep; i < all.size(); ++i)
        QFile::remove(all[i].path);
}

} // namespace zembrik
