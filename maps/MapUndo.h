// Undo and redo of map edits.  Every step the map editor reports (a cell
// entered, a row's "Clear", "Clone", a recall from a file, a get from the
// box, the compaction before a store or save) goes onto an undo stack of at
// most 200 steps; undo and redo put the editor's state back as it was.  The
// two actions name the step they take back ("Undo Clear Output 3") and are
// disabled while a transfer runs.  Owned by the main window; UI thread only.
#pragma once

#include "maps/MapEditor.h"

#include <QObject>

class QAction;
class QUndoStack;

namespace zembrik {

class TMapUndo : public QObject {
    Q_OBJECT
public:
    static constexpr int kSteps = 200;

    explicit TMapUndo(TMapEditor &editor, QObject *parent = nullptr);
    QUndoStack &Stack() const { return *stack_; }
    // A transfer is using the maps: undo and redo wait for its end.
    void SetEnabled(bool enabled);

    QAction *UndoAction = nullptr;
    QAction *RedoAction = nullptr;

private:
    void update();

    TMapEditor &editor_;
    QUndoStack *stack_;
    bool enabled_ = true;
};

} // namespace zembrik
