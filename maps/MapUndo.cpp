#include "maps/MapUndo.h"

#include <QAction>
#include <QUndoStack>

namespace zembrik {

namespace {
// One step: the editor's state before and after it.  The step has happened
// when it is pushed, so the first redo does nothing.
class TMapStep : public QUndoCommand {
public:
    TMapStep(TMapEditor &editor, const QString &text, const TEditorState &before, const TEditorState &after)
        : QUndoCommand(text), editor_(editor), before_(before), after_(after)
    {
    }
    void undo() override { editor_.RestoreState(before_); }
    void redo() override
    {
        if (!done_)
            editor_.RestoreState(after_);
        done_ = false;
    }

private:
    TMapEditor &editor_;
    TEditorState before_, after_;
    bool done_ = true;
};
} // namespace

TMapUndo::TMapUndo(TMapEditor &editor, QObject *parent) : QObject(parent), editor_(editor), stack_(new QUndoStack(this))
{
    stack_->setUndoLimit(kSteps);
    UndoAction = new QAction(QStringLiteral("Undo"), this);
    UndoAction->setObjectName(QStringLiteral("miUndo"));
    UndoAction->setShortcut(QKeySequence::Undo);
    RedoAction = new QAction(QStringLiteral("Redo"), this);
    RedoAction->setObjectName(QStringLiteral("miRedo"));
    RedoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(UndoAction, &QAction::triggered, stack_, &QUndoStack::undo);
    connect(RedoAction, &QAction::triggered, stack_, &QUndoStack::redo);
    connect(stack_, &QUndoStack::indexChanged, this, &TMapUndo::update);
    connect(&editor_, &TMapEditor::stepDone, this,
            [this](const QString &text, const TEditorState &before, const TEditorState &after) {
                stack_->push(new TMapStep(editor_, text, before, after));
            });
    update();
}

void TMapUndo::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    update();
}

void TMapUndo::update()
{
    UndoAction->setEnabled(enabled_ && stack_->canUndo());
    RedoAction->setEnabled(enabled_ && stack_->canRedo());
    UndoAction->setText(stack_->canUndo() ? QStringLiteral("Undo %1").arg(stack_->undoText()) : QStringLiteral("Undo"));
    RedoAction->setText(stack_->canRedo() ? QStringLiteral("Redo %1").arg(stack_->redoText()) : QStringLiteral("Redo"));
}

} // namespace zembrik
