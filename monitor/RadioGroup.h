// A captioned group of radio buttons with one item index, -1 when none is
// selected, as the monitoring pages use for the box's switches and the
// active map choice.  Widgets; UI thread only.
#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace zembrik {

class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    // Items are laid out in the given number of columns, row by row.
    TRadioGroup(const QString &caption, const QStringList &items, int columns, QWidget *parent = nullptr);
    int ItemIndex() const;
    // -1 clears the selection.  Does not emit Click.
    void SetItemIndex(int index);
    int Count() const;
    QRadioButton *Item(int index) const;

signals:
    // The user chose an item.
    void Click(int index);

protected:
    void resizeEvent(QResizeEvent *e) override;

private:
    void layoutItems();
    QButtonGroup *group_;
    int columns_;
};

} // namespace zembrik
