// Automatic backups of the maps: what a backup holds, its name, the newest
// first with their captions, pruning to the newest 50, and a folder that
// cannot be written.
#include "maps/MapBackups.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace zembrik;

namespace {
const QDateTime kNoon(QDate(2026, 12, 11), QTime(14, 3, 12));
const TMapLayout kLayout{2, 8, 10, 0};

TNoteMaps someMaps()
{
    TNoteMaps maps;
    maps.Set(0, 0, 0, 36);
    maps.Set(0, 7, 9, 49);
    maps.Set(1, 2, 3, 38);
    return maps;
}
} // namespace

class MapBackupsTest : public QObject {
    Q_OBJECT
private slots:
    void backupHoldsTheMaps()
    {
        QTemporaryDir dir;
        TMapBackups backups(dir.filePath(QStringLiteral("backups"))); // made when first needed
        QString path;
        QVERIFY(backups.Write(someMaps(), kLayout, TBackupDirection::FromBox, kNoon, &path).ok);
        QCOMPARE(QFileInfo(path).fileName(), QStringLiteral("2026-12-11_140312-from-box.map"));
        TNoteMaps back;
        QVERIFY(LoadMapFile(path, back, kLayout).ok);
        QCOMPARE(back, someMaps());
    }

    void newestFirstWithCaptions()
    {
        QTemporaryDir dir;
        TMapBackups backups(dir.path());
        backups.Write(someMaps(), kLayout, TBackupDirection::FromBox, kNoon);
        backups.Write(someMaps(), kLayout, TBackupDirection::ToBox, kNoon.addSecs(60));
        backups.Write(someMaps(), kLayout, TBackupDirection::ToBox, kNoon.addSecs(60)); // same second
        QFile mine(dir.filePath(QStringLiteral("my drums.map"))); // the user's own file: left alone
        QVERIFY(mine.open(QIODevice::WriteOnly));
        mine.close();
        const QList<TMapBackup> list = backups.Newest(10);
        QCOMPARE(list.size(), 3);
        QCOMPARE(QFileInfo(list[0].path).fileName(), QStringLiteral("2026-12-11_140412-2-to-box.map"));
        QCOMPARE(QFileInfo(list[1].path).fileName(), QStringLiteral("2026-12-11_140412-to-box.map"));
        QCOMPARE(list[0].Caption(), QStringLiteral("2026-12-11 14:04 to box"));
        QCOMPARE(list[2].Caption(), QStringLiteral("2026-12-11 14:03 from box"));
        QCOMPARE(backups.Newest(1).size(), 1);
    }

    void keepsTheNewestFifty()
    {
        QTemporaryDir dir;
        TMapBackups backups(dir.path());
        for (int i = 0; i < TMapBackups::kKeep + 5; ++i)
            QVERIFY(backups.Write(someMaps(), kLayout, TBackupDirection::ToBox, kNoon.addSecs(i)).ok);
        const QList<TMapBackup> list = backups.Newest(INT_MAX);
        QCOMPARE(list.size(), TMapBackups::kKeep);
        QCOMPARE(list.last().when, kNoon.addSecs(5)); // the five oldest went
        QCOMPARE(list.first().when, kNoon.addSecs(TMapBackups::kKeep + 4));
    }

    void unwritableFolderIsReported()
    {
        QTemporaryDir dir;
        const QString blocked = dir.filePath(QStringLiteral("file"));
        QFile f(blocked); // a file where the folder should be
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        TMapBackups backups(blocked + QStringLiteral("/backups"));
        const TMapFileResult r = backups.Write(someMaps(), kLayout, TBackupDirection::FromBox, kNoon);
        QVERIFY(!r.ok);
        QVERIFY(!r.error.isEmpty());
        QVERIFY(backups.Newest().isEmpty());
    }
};

QTEST_GUILESS_MAIN(MapBackupsTest)
#include "test_map_backups.moc"
