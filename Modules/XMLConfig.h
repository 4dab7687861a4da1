// Integers and strings by section and key in one XML file (map files, the settings
// file).  Made for one file
// operation; the file is written when the object goes away, or earlier by an
// explicit Flush whose result the caller can check.
#pragma once

#include "maps/XmlFileStorage.h"

namespace zembrik {

class TXMLConfig {
public:
    // Reads the file (unless read is false).  Throws EStoreError when the
    // file exists but cannot be opened or parsed.
    TXMLConfig(const QString &rootName, const QString &fileName, bool read = true);
    ~TXMLConfig();
    TXMLConfig(const TXMLConfig &) = delete;
    TXMLConfig &operator=(const TXMLConfig &) = delete;

    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    void WriteInteger(const QString &section, const QString &key, int value);
    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    void WriteString(const QString &section, const QString &key, const QString &value);
    bool ValueExists(const QString &section, const QString &key) const;
    // Removes the key (and anything below it); false when there was none.
    bool DeleteKey(const QString &section, const QString &key);

    // Writes now; false with Storage().LastError() when it failed.  After a
    // good Flush with no later write, destruction writes nothing more.
    bool Flush();
    XmlFileStorage &Storage() { return storage_; }

    static QString Path(const QString &section, const QString &key);

private:
    XmlFileStorage storage_;
    bool clean_ = false;
};

} // namespace zembrik
