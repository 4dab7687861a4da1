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

bool TXMLConfig::Flush()
{
    clean_ = storage_.Flush();
    return clean_;
}

} // namespace zembrik
