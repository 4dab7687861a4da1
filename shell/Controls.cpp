#include "shell/Controls.h"

#include <QButtonGroup>
#include <QMouseEvent>
#include <QPainter>
#include <QStackedWidget>
#include <QSvgRenderer>
#include <QToolButton>

namespace zembrik {

TShape::TShape(Kind kind, QWidget *parent) : QWidget(parent), kind_(kind) {}

void TShape::SetBrushColor(const QColor &c)
{
    brush_ = c;
    update();
}

void TShape::SetPen(const QColor &c, int width)
{
    pen_ = c;
    penWidth_ = width;
    update();
}

void TShape::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(pen_, penWidth_);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(brush_);
    const qreal inset = penWidth_ / 2.0;
    QRectF r = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    switch (kind_) {
    case Ellipse:
        p.drawEllipse(r);
        break;
    case Circle: {
        const qreal d = std::min(r.width(), r.height());
        p.drawEllipse(QRectF(r.center().x() - d / 2, r.center().y() - d / 2, d, d));
        break;
    }
    case RoundRect:
        p.drawRoundedRect(r, std::min(r.width(), r.height()) / 4, std::min(r.width(), r.height()) / 4);
        break;
    }
}

QPixmap RenderPicture(const QString &resource, const QSize &size)
{
    const qreal dpr = 2.0; // sharp on high-density screens too
    QPixmap pm(size * dpr);
    pm.fill(Qt::transparent);
    QSvgRenderer svg(resource);
    QPainter p(&pm);
    svg.render(&p);
    p.end();
    pm.setDevicePixelRatio(dpr);
    return pm;
}

TImage::TImage(const QString &resource, const QSize &size, QWidget *parent) : QLabel(parent), resource_(resource)
{
    resize(size);
    setPixmap(RenderPicture(resource, size));
}

void TImage::mouseReleaseEvent(QMouseEvent *e)
{
    QLabel::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit Clicked();
}

TPageControl::TPageControl(QWidget *parent)
    : QWidget(parent), group_(new QButtonGroup(this)), stack_(new QStackedWidget(this))
{
    group_->setExclusive(true);
    stack_->setFrameShape(QFrame::StyledPanel);
    connect(group_, &QButtonGroup::idClicked, this, [this](int id) {
        if (id != stack_->currentIndex()) {
            stack_->setCurrentIndex(id);
            emit Change(id);
        }
    });
}

QWidget *TPageControl::AddPage(const QString &objectName, const QString &caption)
{
    auto *page = new QWidget;
    page->setObjectName(objectName);
    page->setAutoFillBackground(true);
    stack_->addWidget(page);
    auto *tab = new QToolButton(this);
    tab->setText(caption);
    tab->setCheckable(true);
    tab->setAutoRaise(false);
    tab->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const int id = static_cast<int>(pages_.size());
    group_->addButton(tab, id);
    pages_.push_back(page);
    tabs_.push_back(tab);
    if (id == 0)
        tab->setChecked(true);
    layoutTabs();
    return page;
}

int TPageControl::ActivePageIndex() const
{
    return stack_->currentIndex();
}

void TPageControl::SetActivePageIndex(int i)
{
    if (i < 0 || i >= Count())
        return;
    tabs_[i]->setChecked(true);
    stack_->setCurrentIndex(i);
}

QString TPageControl::Caption(int i) const
{
    return tabs_.at(i)->text();
}

QRect TPageControl::PageRect() const
{
    return stack_->contentsRect();
}

void TPageControl::resizeEvent(QResizeEvent *)
{
    layoutTabs();
}

// Tabs fill rows left to right; a tab that does not fit starts a new row.
// Each row is then stretched to the full width.
void TPageControl::layoutTabs()
{
    const int w = width();
    std::vector<std::vector<QAbstractButton *>> rows(1);
    int x = 0;
    for (QAbstractButton *tab : tabs_) {
        const int tw = tab->sizeHint().width();
        if (x > 0 && x + tw > w) {
            rows.emplace_back();
            x = 0;
        }
        rows.back().push_back(tab);
        x += tw;
    }
    const int rowHeight = tabs_.empty() ? 0 : tabs_.front()->sizeHint().height();
    int y = 0;
    for (const auto &row : rows) {
        int natural = 0;
        for (QAbstractButton *tab : row)
            natural += tab->sizeHint().width();
        const int extra = row.empty() ? 0 : (w - natural) / static_cast<int>(row.size());
        int left = 0;
        for (size_t i = 0; i < row.size(); ++i) {
            const int tw = (i + 1 == row.size()) ? w - left : row[i]->sizeHint().width() + extra;
            row[i]->setGeometry(left, y, tw, rowHeight);
            left += tw;
        }
        y += rowHeight;
    }
    stack_->setGeometry(0, y, w, std::max(0, height() - y));
}

} // namespace zembrik
