#include "Modules/GuiLib.h"

#include <QVariant>

namespace zembrik {

namespace {
constexpr const char *kTag = "Tag";
}

int Tag(const QObject *control)
{
    const QVariant v = control->property(kTag);
    return v.isValid() ? v.toInt() : 0;
}

void SetTag(QObject *control, int tag)
{
    control->setProperty(kTag, tag);
}

} // namespace zembrik
