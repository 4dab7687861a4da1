#include "Modules/DataStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace zembrik {

bool TDataStore::MoveToTrash(const QString &path, QString *where)
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty() || !QDir().mkpath(data + QStringLiteral("/Trash")))
        return false;
    QString trashed;
    if (!QFile::moveToTrash(path, &trashed))
        return false;
    // Only a move into the data folder's trash counts.
    if (!trashed.startsWith(QDir(data).absolutePath())) {
        QFile::rename(trashed, path);
        return false;
    }
    if (where)
        *where = trashed;
    return true;
}

TDataStore::TDataStore(const QString &rootName, const QString &fileName)
{
    try {
        config_ = std::make_unique<TXMLConfig>(rootName, fileName);
        return;
    } catch (const EStoreError &e) {
        config_.reset();
        setAside(fileName, e.message());
    }
    // The second attempt starts from a missing file.
    config_ = std::make_unique<TXMLConfig>(rootName, fileName, false);
    if (!writable_)
        config_->Storage().SetReadOnly(true);
}

void TDataStore::setAside(const QString &path, const QString &reason)
{
    QString where;
    if (MoveToTrash(path, &where)) {
        setAside_ = where;
        return;
    }
    QString backup = path + QStringLiteral(".unreadable");
    for (int n = 2; QFileInfo::exists(backup); ++n)
        backup = path + QStringLiteral(".unreadable-%1").arg(n);
    if (QFile::rename(path, backup)) {
        setAside_ = backup;
        recovery_ = QStringLiteral("The file %1 could not be read (%2) and could not be moved to the trash. "
                                   "It has been kept as %3.")
                        .arg(path, reason, backup);
        return;
    }
    writable_ = false;
    recovery_ = QStringLiteral("The file %1 could not be read (%2) and could not be set aside; "
                               "it will not be overwritten.")
                    .arg(path, reason);
}

int TDataStore::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    return config_->ReadInteger(section, key, defaultValue);
}

void TDataStore::WriteInteger(const QString &section, const QString &key, int value)
{
    if (writable_)
        config_->WriteInteger(section, key, value);
}

QString TDataStore::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    return config_->ReadString(section, key, defaultValue);
}

void TDataStore::WriteString(const QString &section, const QString &key, const QString &value)
{
    if (writable_)
        config_->WriteString(section, key, value);
}

bool TDataStore::ValueExists(const QString &section, const QString &key) const
{
    return config_->ValueExists(section, key);
}

bool TDataStore::DeleteKey(const QString &section, const QString &key)
{
    return writable_ && config_->DeleteKey(section, key);
}

bool TDataStore::Flush()
{
    return writable_ && config_->Flush();
}

QString TDataStore::LastError() const
{
    return config_->Storage().LastError();
}

} // namespace zembrik
