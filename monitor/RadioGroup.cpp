#include "monitor/RadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>

namespace zembrik {

TRadioGroup::TRadioGroup(const QString &caption, const QStringList &items, int columns, QWidget *parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)), columns_(std::max(columns, 1))
{
    for (int i = 0; i < items.size(); ++i)
        group_->addButton(new QRadioButton(items[i], this), i);
    connect(group_, &QButtonGroup::idClicked, this, &TRadioGroup::Click);
    layoutItems();
}

int TRadioGroup::ItemIndex() const
{
    return group_->checkedId();
}

void TRadioGroup::SetItemIndex(int index)
{
    if (index == ItemIndex())
        return;
    if (QAbstractButton *b = group_->button(index)) {
        b->setChecked(true);
        return;
    }
    group_->setExclusive(false);
    for (QAbstractButton *b : group_->buttons())
        b->setChecked(false);
    group_->setExclusive(true);
}

int TRadioGroup::Count() const
{
    return static_cast<int>(group_->buttons().size());
}

QRadioButton *TRadioGroup::Item(int index) const
{
    return qobject_cast<QRadioButton *>(group_->button(index));
}

void TRadioGroup::resizeEvent(QResizeEvent *e)
{
    QGroupBox::resizeEvent(e);
    layoutItems();
}

void TRadioGroup::layoutItems()
{
    const int n = Count();
    if (n == 0)
        return;
    const int rows = (n + columns_ - 1) / columns_;
    const int top = 18, left = 8;
    const int w = (width() - 2 * left) / columns_;
    const int h = std::max(18, (height() - top - 4) / rows);
    for (int i = 0; i < n; ++i)
        group_->button(i)->setGeometry(left + (i % columns_) * w, top + (i / columns_) * h, w, 18);
}

} // namespace zembrik
