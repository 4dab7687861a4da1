#include "shell/WindowFonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace zembrik {

namespace {
QFont faceOrSans(const QString &family)
{
    QFont f = QFontDatabase::families().contains(family) ? QFont(family)
                                                         : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    f.setPixelSize(11);
    return f;
}
} // namespace

QFont WindowFont()
{
    return faceOrSans(QStringLiteral("Tahoma"));
}

QFont DialogFont()
{
    return faceOrSans(QStringLiteral("MS Sans Serif"));
}

} // namespace zembrik
