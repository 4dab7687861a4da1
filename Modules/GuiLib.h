// Finding controls by their tag: every numbered control (the output columns,
// the note cells, the "Clear" buttons, the chart lists) carries an integer
// "Tag" property, and handlers shared by many controls find their numbers
// back from it.
#pragma once

#include <QWidget>

namespace zembrik {

int Tag(const QObject *control);
void SetTag(QObject *control, int tag);

// The first direct child of parent that carries tag, or null.
template <typename T = QWidget> T *FindControlByTag(const QWidget *parent, int tag)
{
    if (!parent)
        return nullptr;
    for (QObject *child : parent->children())
        if (auto *w = qobject_cast<T *>(child); w && Tag(w) == tag)
            return w;
    return nullptr;
}

} // namespace zembrik
