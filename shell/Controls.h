// Small controls the window is built from: painted shapes (the colour
// swatches and the drum test's pads), pictures drawn from the resources at
// their design size, and a page control whose tabs wrap onto several rows
// so that no caption is cut off in a narrow space.
#pragma once

#include <QColor>
#include <QLabel>
#include <QWidget>

#include <vector>

class QAbstractButton;
class QButtonGroup;
class QStackedWidget;

namespace zembrik {

class TShape : public QWidget {
    Q_OBJECT
public:
    enum Kind { Ellipse, RoundRect, Circle };
    TShape(Kind kind, QWidget *parent = nullptr);
    void SetBrushColor(const QColor &c);
    QColor BrushColor() const { return brush_; }
    void SetPen(const QColor &c, int width);
    QColor PenColor() const { return pen_; }

protected:
    void paintEvent(QPaintEvent *) override;

private:
    Kind kind_;
    QColor brush_{Qt::white};
    QColor pen_{Qt::black};
    int penWidth_ = 1;
};

// A picture from the resources, rendered at the control's size.  Clicking
// it emits Clicked().
class TImage : public QLabel {
    Q_OBJECT
public:
    TImage(const QString &resource, const QSize &size, QWidget *parent = nullptr);
    QString Resource() const { return resource_; }

signals:
    void Clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    QString resource_;
};

// Renders an SVG resource at the given size.
QPixmap RenderPicture(const QString &resource, const QSize &size);

class TPageControl : public QWidget {
    Q_OBJECT
public:
    explicit TPageControl(QWidget *parent = nullptr);
    QWidget *AddPage(const QString &objectName, const QString &caption);
    int Count() const { return static_cast<int>(pages_.size()); }
    QWidget *Page(int i) const { return pages_.at(i); }
    int ActivePageIndex() const;
    void SetActivePageIndex(int i);
    QString Caption(int i) const;
    // Client area of the pages, below the tab rows.
    QRect PageRect() const;

signals:
    void Change(int index);

protected:
    void resizeEvent(QResizeEvent *) override;

private:
    void layoutTabs();
    QButtonGroup *group_;
    QStackedWidget *stack_;
    std::vector<QWidget *> pages_;
    std::vector<QAbstractButton *> tabs_;
};

} // namespace zembrik
