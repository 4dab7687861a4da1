// Opens a TXMLConfig and recovers from a file that cannot be read: the file
// goes to the desktop's trash, where the user can restore it, and the store
// starts empty under the same name.  If the trash cannot take it, the file is
// kept beside the new one under a backup name and RecoveryMessage() says so;
// if even that fails, the store is left unable to write, so that the
// unreadable file is never overwritten.
#pragma once

#include "Modules/XMLConfig.h"

#include <memory>

namespace zembrik {

class TDataStore {
public:
    TDataStore(const QString &rootName, const QString &fileName);

    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    void WriteInteger(const QString &section, const QString &key, int value);
    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    void WriteString(const QString &section, const QString &key, const QString &value);
    bool ValueExists(const QString &section, const QString &key) const;
    bool DeleteKey(const QString &section, const QString &key);
    bool Flush();
    // The engine, for its options (auto-flush, groups of writes).
    XmlFileStorage &Storage() { return config_->Storage(); }
    bool Writable() const { return writable_; }
    QString LastError() const;

    // Empty unless the file had to be set aside; then it tells the user
    // where it went.
    QString RecoveryMessage() const { return recovery_; }
    // Where the unreadable file went (the trash or the backup name).
    QString SetAsidePath() const { return setAside_; }

    // Moves a file to the freedesktop trash.  Makes sure the XDG data folder
    // exists first: without it Qt 6.4 "trashes" into ./files/ under the
    // working folder.
    static bool MoveToTrash(const QString &path, QString *where);

private:
    void setAside(const QString &path, const QString &reason);

    std::unique_ptr<TXMLConfig> config_;
    QString recovery_;
    QString setAside_;
    bool writable_ = true;
};

} // namespace zembrik
