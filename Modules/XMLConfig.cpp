#include "Modules/XMLConfig.h"

namespace zembrik {

TXMLConfig::TXMLConfig(const QString &rootName, const QString &fileName, bool read) : storage_(rootName)
{
    storage_.SetFileName(fileName, read);
}

TXMLConfig::~TXMLConfig()
{
    // One write: closing the engine would only write the same bytes again.
    if (!clean_)
        storage_.Flush();
}

QString TXMLConfig::Path(const QString &section, const QString &key)
{
    return QStringLiteral("\\%1\\%2\\").arg(section, key);
}

int TXMLConfig::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    return storage_.ReadInteger(Path(section, key), defaultValue);
}

void TXMLConfig::WriteInteger(const QString &section, const QString &key, int value)
{
    storage_.WriteInteger(Path(section, key), value);
    clean_ = false;
}

QString TXMLConfig::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    return storage_.ReadString(Path(section, key), defaultValue);
}

void TXMLConfig::WriteString(const QString &section, const QString &key, const QString &value)
{
    storage_.WriteString(Path(section, key), value);
    clean_ = false;
}

bool TXMLConfig::ValueExists(const QString &section, const QString &key) const
{
    return storage_.ValueExists(Path(section, key));
}

bool TXMLConfig::DeleteKey(const QString &section, const QString &key)
{
    const bool removed = storage_.DeleteKey(Path(section, key));
    if (removed)
        clean_ = false;
    return removed;
}

bool TXMLConfig::Flush()
{
    clean_ = storage_.Flush();
    return clean_;
}

} // namespace zembrik
