#include "charts/TaggedText.h"

#include <QRegularExpression>

namespace zembrik {

namespace {

// The colour names the tags may use, as the window library spells them.
QString colourOf(const QString &name)
{
    static const struct {
        const char *name;
        const char *html;
    } colours[] = {
        {"clblue", "#0000ff"},    {"clred", "#ff0000"},    {"clgreen", "#008000"},  {"clblack", "#000000"},
        {"clnavy", "#000080"},    {"clmaroon", "#800000"}, {"clpurple", "#800080"}, {"clgray", "#808080"},
        {"clwhite", "#ffffff"},   {"clyellow", "#ffff00"}, {"cllime", "#00ff00"},   {"claqua", "#00ffff"},
        {"clfuchsia", "#ff00ff"}, {"clteal", "#008080"},   {"clolive", "#808000"},  {"clsilver", "#c0c0c0"},
    };
    const QString lower = name.toLower();
    for (const auto &c : colours)
        if (lower == QLatin1String(c.name))
            return QLatin1String(c.html);
    return {};
}

} // namespace

QString TaggedToRichText(const QString &tagged, bool colours)
{
    static const QRegularExpression tag(QStringLiteral("<(/?)([A-Za-z]+)((?:\\s+[^<>]*)?)>"));
    static const QRegularExpression colourAttr(QStringLiteral("\\bcolor\\s*=\\s*[\"']?([A-Za-z0-9#]+)"),
                                               QRegularExpression::CaseInsensitiveOption);
    QString out;
    qsizetype last = 0;
    auto it = tag.globalMatch(tagged);
    while (it.hasNext()) {
        const auto m = it.next();
        const bool end = !m.captured(1).isEmpty();
        const QString name = m.captured(2).toUpper();
        QString html;
        if (name == QLatin1String("B") || name == QLatin1String("I") || name == QLatin1String("U")) {
            if (m.captured(3).isEmpty())
                html = QStringLiteral("<%1%2>").arg(end ? QStringLiteral("/") : QString(), name.toLower());
        } else if (name == QLatin1String("BR")) {
            if (!end)
                html = QStringLiteral("<br>");
        } else if (name == QLatin1String("FONT")) {
            if (end) {
                html = QStringLiteral("</span>");
            } else {
                const auto c = colourAttr.match(m.captured(3));
                QString colour = c.hasMatch() ? colourOf(c.captured(1)) : QString();
                if (colour.isEmpty() && c.hasMatch() && c.captured(1).startsWith(QLatin1Char('#')))
                    colour = c.captured(1);
                html = colour.isEmpty() || !colours ? QStringLiteral("<span>")
                                                    : QStringLiteral("<span style=\"color:%1\">").arg(colour);
            }
        }
        if (html.isNull())
            continue; // not one of ours: shown as written
        out += QStringView(tagged).mid(last, m.capturedStart() - last).toString().toHtmlEscaped();
        out += html;
        last = m.capturedEnd();
    }
    out += QStringView(tagged).mid(last).toString().toHtmlEscaped();
    // A break at the very end starts no empty line: the text goes on in
    // the next item.
    if (out.endsWith(QLatin1String("<br>")))
        out.chop(4);
    // Blanks are kept as typed, as the list shows them.
    out.replace(QStringLiteral("  "), QStringLiteral("&nbsp; "));
    return out;
}

} // namespace zembrik
