// The note map editor without widgets.  It owns the program's copy of the
// maps (NoteMaps), the values the grid shows (one per cell, the cells of the
// shown map), the map status, the geometry the box reported, the shown map
// and the switch note.  Every edit goes through it; it tells by signals what
// changed, and the window mirrors that into its widgets.  Owned by the main
// window; UI thread only.
//
// A cell change is recorded (NoteMaps follows, duplicates are marked again
// and the status becomes exactly {msModified}) unless msUpdating is set:
// the program sets it while it fills the grid from NoteMaps.  Values are
// held to 0..127 also while msUpdating is set, so a 200 from the box shows
// as 127 while its slot keeps 200 until the cells are stored into the map.
#pragma once

#include "maps/MapFile.h"
#include "maps/MapStatus.h"
#include "maps/NoteMaps.h"

#include <QObject>
#include <QString>

#include <array>
#include <bitset>

namespace zembrik {

// One bit per cell, index output * 10 + slot.
using TCellSet = std::bitset<MaxOutputs * MaxNotesPerOutput>;

// Everything an undo step puts back: the maps, the values the grid shows,
// the shown map and the map status.
struct TEditorState {
    TNoteMaps maps;
    std::array<std::array<int, MaxNotesPerOutput>, MaxOutputs> cells;
    int currentMap = 0;
    quint8 status = 0;
    friend bool operator==(const TEditorState &, const TEditorState &) = default;
};

class TMapEditor : public QObject {
    Q_OBJECT
public:
    explicit TMapEditor(QObject *parent = nullptr);

    // The program's maps.  Transfers and map files read and write it
    // directly; ShowMap then brings it into the grid.
    TNoteMaps NoteMaps;

    int MapCount() const { return mapCount_; }
    int OutputCount() const { return outputCount_; }
    int NotesPerOutput() const { return notesPerOutput_; }
    int CurrentMap() const { return currentMap_; }
    quint8 MapStatus() const { return status_; }
    // The value a cell shows: NoNote or 0..127.
    int Cell(int output, int slot) const { return cells_[output][slot]; }
    TCellSet Duplicates() const { return duplicates_; }
    int SwitchNote() const { return switchNote_; }
    bool SwitchNoteRunning() const { return switchNoteRunning_; }
    // The geometry and shown map, as map files use them.
    TMapLayout Layout() const { return {mapCount_, outputCount_, notesPerOutput_, currentMap_}; }

    // Cells and maps outside the table are ignored.
    //
    // A value entered into a cell (typed, pasted or dropped): the cell's text
    // changed, so the change counts even when the value is the same.
    void EnterCell(int output, int slot, int value);
    // The program sets a cell: a change only when the value differs.
    void SetCell(int output, int slot, int value);
    void ClearCells();
    // The grid shows map; the cells take its values as cell changes.
    void ShowMap(int map);
    void StoreCellsIntoMap(int map);
    // map < 0: both maps.  Then the shown map is shown again.
    void ClearMaps(int map);
    // The shown map becomes map (out of range: map 0), without a status
    // change; the cells of the map shown before are stored first.
    void SelectMap(int map);
    void MarkDuplicates(int map);
    // Moves each output's notes to its lowest slots, as cell changes.
    void CompactMap();
    // "Clone": the other map is copied into the shown one.
    void CloneMap();
    // A row's "Clear".
    void ClearOutput(int output);
    void SetMapCount(int n);
    void SetMapGeometry(int outputs, int notes);
    void SetMapStatus(quint8 status);
    // Held to 0..127 or 255; ignored while a run is in progress (the
    // window's switchNoteChanged handler sends the note to the box).
    void SetSwitchNote(int n);

    // --- Undo steps ------------------------------------------------------------
    // A value entered into a cell, a row's "Clear" and "Clone" are steps of
    // their own.  Whatever else belongs to one step (a recall from a file, a
    // get from the box, the compaction before a store) is put between
    // BeginStep and EndStep; steps nest, and the outermost one counts.  A
    // step that changed nothing is not reported.  The switch note goes to
    // the box at once and is no part of a step.
    TEditorState State() const;
    // Puts a state back as it was; records no step.  The grid, the tab and
    // the duplicate marks follow by the usual signals.
    void RestoreState(const TEditorState &state);
    void BeginStep(const QString &text);
    void EndStep();

signals:
    void cellChanged(int output, int slot, int value);
    // ShowMap: the tab to select.
    void mapShown(int map);
    // SelectMap is making map the shown map: CurrentMap is still the old
    // one and msUpdating is set.  The box follows here.
    void mapSelecting(int map);
    void duplicatesChanged(const zembrik::TCellSet &red);
    void statusChanged(quint8 status);
    void mapCountChanged(int count);
    void geometryChanged(int outputs, int notes);
    // The box reported more than the table holds; the text says so.
    void geometryClamped(const QString &text);
    void switchNoteChanged(int note);
    void stepDone(const QString &text, const zembrik::TEditorState &before, const zembrik::TEditorState &after);

private:
    void enterCell(int output, int slot, int value);
    void setCell(int output, int slot, int value);
    void record(int output, int slot, int value);

    std::array<std::array<int, MaxNotesPerOutput>, MaxOutputs> cells_;
    TCellSet duplicates_;
    int mapCount_ = 2;
    int outputCount_ = MaxOutputs;
    int notesPerOutput_ = MaxNotesPerOutput;
    int currentMap_ = 0;
    quint8 status_ = 0;
    int switchNote_ = NoNote;
    bool switchNoteRunning_ = false;
    int stepDepth_ = 0;
    QString stepText_;
    TEditorState stepBefore_;
};

// A step for the length of a scope.
class TEditorStep {
public:
    TEditorStep(TMapEditor &editor, const QString &text) : editor_(editor) { editor_.BeginStep(text); }
    ~TEditorStep() { editor_.EndStep(); }
    TEditorStep(const TEditorStep &) = delete;
    TEditorStep &operator=(const TEditorStep &) = delete;

private:
    TMapEditor &editor_;
};

} // namespace zembrik
