// Integers by section and key in one XML file (map files).  Made for one file
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
