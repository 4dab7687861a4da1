// Small builders every page uses to lay out its controls at their designed
// places: named widgets, labels, buttons, the hint-coloured info labels and
// a bold font.  Positions are pixels of the parent, as on a designed form.
#pragma once

#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QString>

namespace zembrik::build {

template <typename T> T *named(T *w, const char *name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

inline QLabel *label(QWidget *parent, const QString &text, const QRect &r, const char *name = nullptr)
{
    auto *l = new QLabel(text, parent);
    if (name)
        l->setObjectName(QLatin1String(name));
    l->setGeometry(r);
    return l;
}

inline QPushButton *button(QWidget *parent, const QString &text, const QRect &r, const char *name,
                           const QString &hint = {})
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(r);
    b->setToolTip(hint);
    return b;
}

// Info colours: the hint window's background and text, wrapped.
inline void infoColours(QLabel *l)
{
    QPalette pal = l->palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::ToolTipBase));
    pal.setColor(QPalette::WindowText, pal.color(QPalette::ToolTipText));
    l->setPalette(pal);
    l->setAutoFillBackground(true);
    l->setWordWrap(true);
    l->setMargin(2);
}

inline QFont bold(QFont f)
{
    f.setBold(true);
    return f;
}

} // namespace zembrik::build
