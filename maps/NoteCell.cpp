#include "maps/NoteCell.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>

namespace zembrik {

TNoteCell::TNoteCell(QWidget *parent) : QLineEdit(parent)
{
    setMaxLength(3);
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this));
    setAlignment(Qt::AlignCenter);
}

void TNoteCell::SetValueText(const QString &text)
{
    if (QLineEdit::text() != text)
        setText(text);
    if (value_ == text)
        return;
    value_ = text;
    emit ValueChanged(this);
}

void TNoteCell::ShowValueText(const QString &text)
{
    if (QLineEdit::text() != text)
        setText(text);
    value_ = text;
}

void TNoteCell::commit()
{
    SetValueText(text());
}

void TNoteCell::focusOutEvent(QFocusEvent *e)
{
    QLineEdit::focusOutEvent(e);
    commit();
}

bool TNoteCell::event(QEvent *e)
{
    // With nothing typed that has not taken effect, undo and redo are the
    // map's: the shortcut goes on to the window.
    if (e->type() == QEvent::ShortcutOverride) {
        auto *k = static_cast<QKeyEvent *>(e);
        const bool undoKey = k->matches(QKeySequence::Undo) || k->matches(QKeySequence::Redo) ||
                             k->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y);
        if (undoKey && text() == value_) {
            e->ignore();
            return false;
        }
    }
    return QLineEdit::event(e);
}

void TNoteCell::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape) {
        setText(value_);
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
    if (e->matches(QKeySequence::Paste))
        commit();
}

void TNoteCell::mouseReleaseEvent(QMouseEvent *e)
{
    QLineEdit::mouseReleaseEvent(e);
    if (e->button() == Qt::MiddleButton) // selection paste
        commit();
}

} // namespace zembrik
