#include "Modules/GeneralLib.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace zembrik {

bool SaveFileAtomically(const QString &fileName, const QByteArray &bytes, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    const QFileInfo info(fileName);
    if (!QDir().mkpath(info.absolutePath()))
        return fail(QStringLiteral("The folder %1 cannot be created.").arg(info.absolutePath()));
    QSaveFile file(fileName);
    // Unbuffered: a buffered write reports success and a full disk then
    // goes unnoticed until commit(), which on Qt 6.4 can still rename the
    // short temporary file over the old one.  Every write is checked here.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(QStringLiteral("%1: %2").arg(fileName, file.errorString()));
    if (file.write(bytes) != bytes.size()) {
        const QString why = QStringLiteral("%1: %2").arg(fileName, file.errorString());
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit())
        return fail(QStringLiteral("%1: %2").arg(fileName, file.errorString()));
    return true;
}

QString InnerTextOfTag(const QString &tag, const QString &text)
{
    const qsizetype p = text.indexOf(QLatin1Char('<') + tag, 0, Qt::CaseSensitive);
    QString r = p < 0 ? text : text.mid(p);
    if (const qsizetype gt = r.indexOf(QLatin1Char('>')); gt >= 0)
        r = r.mid(gt + 1);
    if (const qsizetype end = r.indexOf(QStringLiteral("</") + tag, 0, Qt::CaseInsensitive); end >= 0)
        r.truncate(end);
    return r;
}

} // namespace zembrik
