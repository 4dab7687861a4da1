#include "Modules/GeneralLib.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <bit>

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

namespace {
constexpr quint8 kBlue = 0x01, kGreen = 0x02, kRed = 0x04, kYellow = 0x08, kKick = 0x10, kOrange = 0x20;
constexpr quint8 kPadFlag = 0x04, kCymbalFlag = 0x08;
constexpr quint8 kDirectionUp = 0, kDirectionDown = 4;
} // namespace

TDrumPadStates DecodeDrumPads(const quint8 *report, bool guitarHero)
{
    TDrumPadStates s;
    const quint8 b0 = report[0], b1 = report[1], b2 = report[2];
    if (guitarHero) {
        s.RedPad = b0 & kRed;
        s.BluePad = b0 & kBlue;
        s.GreenPad = b0 & kGreen;
        s.Kick = b0 & kKick;
        s.YellowCymbal = b0 & kYellow;
        s.OrangeCymbal = b0 & kOrange;
        return s;
    }
    const int colours = std::popcount(static_cast<unsigned>(b0 & (kBlue | kGreen | kRed | kYellow)));
    const bool pad = b1 & kPadFlag;
    const bool cymbal = b1 & kCymbalFlag;
    s.RedPad = (b0 & kRed) && pad;
    s.Kick = b0 & kKick;
    if (pad && !cymbal) {
        s.YellowPad = b0 & kYellow;
        s.BluePad = b0 & kBlue;
        s.GreenPad = b0 & kGreen;
        return s;
    }
    if (cymbal && !pad) {
        s.YellowCymbal = b0 & kYellow;
        s.BlueCymbal = b0 & kBlue;
        s.GreenCymbal = b0 & kGreen;
        return s;
    }
    if (!pad)
        return s; // neither flag: only the kick
    // Both flags.
    if (colours == 1) {
        // One colour hit as pad and cymbal at once (red alone has no cymbal).
        if (b0 & kYellow)
            s.YellowPad = s.YellowCymbal = true;
        else if (b0 & kBlue)
            s.BluePad = s.BlueCymbal = true;
        else if (b0 & kGreen)
            s.GreenPad = s.GreenCymbal = true;
        return s;
    }
    if (s.RedPad) {
        // The pad flag is red's; every other colour is a cymbal.
        s.YellowCymbal = b0 & kYellow;
        s.BlueCymbal = b0 & kBlue;
        s.GreenCymbal = b0 & kGreen;
        return s;
    }
    // The direction byte names the cymbal; at most one pad from the rest.
    quint8 rest = b0;
    s.YellowCymbal = (rest & kYellow) && b2 == kDirectionUp;
    if (s.YellowCymbal)
        rest &= ~kYellow;
    s.BlueCymbal = (rest & kBlue) && b2 == kDirectionDown;
    if (s.BlueCymbal)
        rest &= ~kBlue;
    s.GreenCymbal = !s.YellowCymbal && !s.BlueCymbal;
    if (s.GreenCymbal)
        rest &= ~kGreen;
    if (rest & kYellow)
        s.YellowPad = true;
    else if (rest & kBlue)
        s.BluePad = true;
    else if (rest & kGreen)
        s.GreenPad = true;
    return s;
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
