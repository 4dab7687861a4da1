// A note cell of the map editor's grid: digits only, at most three.  A typed
// value takes effect when the cell loses the focus or text is pasted; Escape
// puts back the value that last took effect.  ValueChanged is emitted
// whenever the value that takes effect changes by typing or SetValueText;
// ShowValueText, with which the window mirrors the map editor, emits
// nothing.  Owned by its output column.
#pragma once

#include <QLineEdit>

namespace zembrik {

class TNoteCell : public QLineEdit {
    Q_OBJECT
public:
    explicit TNoteCell(QWidget *parent = nullptr);
    // Sets the text as the value in effect, as the user would.
    void SetValueText(const QString &text);
    // Shows the value in effect without telling anyone.
    void ShowValueText(const QString &text);
    QString ValueText() const { return value_; }

signals:
    void ValueChanged(zembrik::TNoteCell *cell);

protected:
    void focusOutEvent(QFocusEvent *e) override;
    bool event(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    void commit();
    QString value_;
};

} // namespace zembrik
